// Velmora::TimerService: the registry operations and the query table.
#include "timers/timer_service.h"

#include "cadencehost/vel_query.h"
#include "timers/timer_impl.h"

namespace Velmora {

ITimer* TimerService::createTimer(const VelCString& name) {
  // The timer's own block comes the guarded way; Qt allocates inside its
  // construction too, and running out there ends the process the same way.
  return registry_.put(name, [] { return cadence::guard::failForGoodOnBadAlloc([] { return new TimerImpl; }); });
}

ITimer* TimerService::getTimer(const VelCString& name) { return registry_.find(name); }

bool TimerService::removeTimer(const VelCString& name) {
  return registry_.remove(name, [](ITimer* timer) { timer->stop(); });
}

bool TimerService::hasTimer(const VelCString& name) { return registry_.contains(name); }

void TimerService::onShutdown() {
  registry_.forEach([](ITimer* timer) { timer->stop(); });
}

void TimerService::queryInterface(const char* name, void* target) {
  velAnswerQuery<ITimerService, ITimerServiceV2, IShutdownListener>(this, kClassName, name, target);
}

}  // namespace Velmora

// Velmora::TimerService: the registry operations and the query table.
#include "timers/timer_service.h"

#include "cadencehost/vel_query.h"
#include "timers/timer_impl.h"

namespace Velmora {

ITimer* TimerService::createTimer(const VelCString& name) {
  TimerImpl* timer = new TimerImpl;
  try {
    return registry_.put(name, timer);
  } catch (...) {
    delete timer;  // nobody holds it yet
    throw;
  }
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
  if (!name) {
    velEnumerateNames(target, "TimerService", {"ITimerService", "ITimerServiceV2", "IShutdownListener"});
    return;
  }
  void** slot = velQuerySlot(target);
  if (!slot) return;
  if (velNameIs(name, "TimerService")) {
    *slot = this;
  } else if (velNameIs(name, "IVelUnknown")) {
    *slot = static_cast<IVelUnknown*>(this);
  } else if (velNameIs(name, "ITimerService")) {
    *slot = static_cast<ITimerService*>(this);
  } else if (velNameIs(name, "ITimerServiceV2")) {
    *slot = static_cast<ITimerServiceV2*>(this);
  } else if (velNameIs(name, "IShutdownListener")) {
    *slot = static_cast<IShutdownListener*>(this);
  }
}

const char* TimerService::getClassName() { return "TimerService"; }

}  // namespace Velmora

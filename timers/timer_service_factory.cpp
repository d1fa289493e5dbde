// The timer service's item factory: built when the module loads, it registers
// "TimerService" under {A29D47F5-FC31-456F-8F72-10D767236FEF} with the default
// class factory and creates the one service on the first request.
#include "cadencehost/module_ids.h"
#include "core/class_factory.h"
#include "timers/timer_service.h"

namespace {
VelSingletonTClassItemFactory<Velmora::TimerService> timerServiceFactory(Velmora::TimerService::kClassName, nullptr,
                                                                         kVelTimerServiceClassId);
}  // namespace

// Velmora::TimerService: the module's one creatable class. It keeps the named
// timers, hands them out as borrowed ITimer pointers, and stops them all when
// the host reports shutdown.
#pragma once

#include "cadencehost/module_ids.h"
#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_interfaces.h"
#include "memory/guarded_new.h"
#include "timers/timer_registry.h"

namespace Velmora {

class TimerService : public virtual ITimerServiceV2,
                     public virtual IShutdownListener,
                     public cadence::guard::GuardedNew {
 public:
  TimerService() : registry_(0) {}
  ~TimerService() override = default;
  TimerService(const TimerService&) = delete;
  TimerService& operator=(const TimerService&) = delete;

  // ITimerService. createTimer makes a new stopped timer owned by the calling
  // thread and registers it under the name, replacing (and releasing) the
  // timer that held the name before.
  ITimer* createTimer(const VelCString& name) override;
  ITimer* getTimer(const VelCString& name) override;

  // ITimerServiceV2. removeTimer stops the timer, then unregisters it.
  bool removeTimer(const VelCString& name) override;
  bool hasTimer(const VelCString& name) override;

  // IShutdownListener: stops every registered timer and keeps them registered.
  void onShutdown() override;

  // IVelUnknown
  void queryInterface(const char* name, void* target) override;
  static constexpr const char* kClassName = kVelTimerServiceClassName;
  const char* getClassName() override { return kClassName; }

  const TimerRegistry& registry() const { return registry_; }

 private:
  TimerRegistry registry_;
};

}  // namespace Velmora

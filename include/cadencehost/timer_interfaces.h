// The timer service's interfaces as hosts and clients see them (the service
// itself is created by the identifiers in module_ids.h). kInterfaceName is the name each
// interface answers to in queryInterface.
//
// References: createTimer and getTimer hand out a timer without a reference
// for the caller (the service's registry holds one); addListener takes one
// reference on the listener and removeListener gives it back. A name is kept
// as the VelCString passed in: a borrowed name (capacity 0) stays that very
// pointer, so pass VelCString::copyOf(text) when the text will not outlive
// the timer. Nothing alerts before start().
#pragma once

#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_object.h"

namespace Velmora {

// Implemented by clients; alert() runs on the event loop of the thread that
// created the timer.
class ITimerListener : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "ITimerListener";
  virtual void alert() = 0;
};

class ITimer : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "ITimer";
  virtual void addListener(ITimerListener* listener) = 0;
  virtual bool removeListener(ITimerListener* listener) = 0;
  virtual void start(int intervalMs) = 0;
  virtual void stop() = 0;
  virtual void setInterval(int intervalMs) = 0;
};

class ITimerService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "ITimerService";
  // A new stopped timer under `name`; a timer already holding the name is
  // replaced (and released by the registry).
  virtual ITimer* createTimer(const VelCString& name) = 0;
  // The timer under `name`, or null.
  virtual ITimer* getTimer(const VelCString& name) = 0;
};

class ITimerServiceV2 : public virtual ITimerService {
 public:
  static constexpr const char* kInterfaceName = "ITimerServiceV2";
  // Stops the timer and unregisters it (the registry's release may destroy it).
  virtual bool removeTimer(const VelCString& name) = 0;
  virtual bool hasTimer(const VelCString& name) = 0;
};

}  // namespace Velmora

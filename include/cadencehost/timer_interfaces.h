// The timer service's interfaces as hosts and clients see them (the service
// itself is created by the identifiers in module_ids.h). kInterfaceName is the name each
// interface answers to in queryInterface.
//
// The service ("TimerService") answers "ITimerService", "ITimerServiceV2"
// and "IShutdownListener". It is a singleton: createInstance hands out the
// same object every time (status kVelCreatedSingleton) and its item factory
// keeps a reference on it for the life of the process, so it is never
// destroyed; a host's own references on it are the host's to balance.
//
// References: createTimer and getTimer hand out a timer without a reference
// for the caller (the service's registry holds one); addListener takes one
// reference on the listener and removeListener gives it back. A name is kept
// as the VelCString passed in: a borrowed name (capacity 0) stays that very
// pointer, so pass VelCString::copyOf(text) when the text will not outlive
// the timer. Nothing alerts before start().
//
// Threads: a timer belongs to the thread that created it (its Qt timer lives
// there); call its operations and remove it on that thread. Alerts run on
// that thread's Qt event loop, only while it runs.
#pragma once

#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_object.h"

namespace Velmora {

// Implemented by clients; alert() runs on the event loop of the thread that
// created the timer.
class ITimerListener : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "ITimerListener";
  // Called once per expiry of every timer the listener is added to. It may
  // add or remove listeners, remove timers, and give up its own references;
  // the timer lives until the alert pass is over.
  virtual void alert() = 0;
};

// A repeating timer ("TimerImpl", answering "ITimer"), made by the service.
class ITimer : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "ITimer";
  // Adds `listener` (once: adding it again changes nothing) and takes one
  // reference on it. A null listener is ignored.
  virtual void addListener(ITimerListener* listener) = 0;
  // Removes `listener` and gives its reference back (which may destroy it);
  // false when it was not added (or is null).
  virtual bool removeListener(ITimerListener* listener) = 0;
  // Starts (or restarts) the timer: an alert every `intervalMs` milliseconds
  // from now on, until stop. Qt refuses a negative interval with a warning:
  // pass 0 or more.
  virtual void start(int intervalMs) = 0;
  // Stops it: no alert until the next start. The listeners stay.
  virtual void stop() = 0;
  // Changes the interval; a running timer starts its period over with it.
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
  // Stops the timer and unregisters it (the registry's release may destroy it);
  // false when no timer holds the name.
  virtual bool removeTimer(const VelCString& name) = 0;
  // Whether a timer holds `name`.
  virtual bool hasTimer(const VelCString& name) = 0;
};

}  // namespace Velmora

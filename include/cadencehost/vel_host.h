// The host object as the module sees it, and the process-wide pointer to it.
// A host implements IVelHost (four operations, in this slot order) and hands
// it to the module with IVelComponent::setHost. The module never owns,
// counts or destroys the host: keep the object alive until the process ends
// (the module calls it up to its teardown at exit).
#pragma once

#include <cstdint>

struct VelCString;

class IVelHost {
 public:
  // Called by the module whenever it looks a service up by name (IPtr and
  // SPtr in vel_ptr.h; the names are each service's kInterfaceName, see
  // vel_services.h). `name.text` is the interface's name, NUL-terminated
  // (borrowed: copy it to keep it). `slot` points at a null pointer of the
  // requested interface's type: write a pointer of exactly that type there
  // (for "IVelErrorService" an IVelErrorService*, converted from your object
  // with static_cast), or leave it null when you do not offer the service.
  // Take no reference for the module: it calls addRef on what you write and
  // releaseRef when it drops it (some services it keeps until exit). The
  // module relies on the slot alone; the result is handed back unchanged to
  // the module code that asked and is otherwise ignored. By custom answer 1
  // when you wrote a service and 0 when you did not. May be called before
  // and during static teardown and from any thread that uses the module.
  virtual int32_t getService(const VelCString& name, void** slot) = 0;
  // A character standing for the host's test status. Called only by
  // IVelCompInternal::runTests(nullptr), which reports it, as a
  // one-character message, through your "IVelErrorService" when you offer
  // one. Any character will do ('R' in cadence-host).
  virtual char getTestStatus() = 0;
  // Every addRef in the module, once a host is set, comes here instead:
  // `counter` is the address of the object's count (the refCount field of
  // its IVelUnknown part, what getRefCount reads). Add 1 to it; the module
  // does nothing else. Make it atomic if objects are counted from more than
  // one thread.
  virtual void addRefHook(int32_t* counter) = 0;
  // Every releaseRef, likewise: subtract 1 and answer true when the count
  // has reached 0; the module then deletes the object at once (do not touch
  // it afterwards). On false nothing more happens. Objects of your own
  // runtime count through these hooks too once you set your own g_host.
  virtual bool releaseRefHook(int32_t* counter) = 0;

 protected:
  // Not virtual and not public: the module never deletes a host.
  ~IVelHost() = default;
};

// The host this copy of the runtime calls: null until IVelComponent::setHost
// (in the module's copy) or until the host stores itself (in its own copy);
// never cleared, owned or counted. While it is null, objects count locally
// (plain increments) and service lookups find nothing.
extern IVelHost* g_host;

// IPtr holds one reference on an object through its IVelUnknown part; SPtr is
// an IPtr that fills itself by asking the host for a service by the
// interface's name (I::kInterfaceName). Both work in the copy of the runtime
// they are compiled into: a host's SPtr asks the host set in its own g_host.
//   IPtr<Velmora::ITimerServiceV2> timers(velQueryAs<Velmora::ITimerServiceV2>(object));  // one reference
//   SPtr<IVelErrorService> errors;  // asks g_host for "IVelErrorService"
//   if (errors) errors->reportError(...);
#pragma once

#include <cstdint>

#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_host.h"
#include "cadencehost/vel_object.h"

// Asks the host for `name` into *slot without taking a reference. Returns 0
// when there is no host, else the host's result.
int32_t lookupService(const VelCString& name, void** slot);

template <class I, class U = IVelUnknown>
class IPtr {
 public:
  // Empty.
  IPtr() : interface_(nullptr), holder_(nullptr) {}
  // Holds `p` (may be null), taking one reference on it.
  explicit IPtr(I* p) : interface_(nullptr), holder_(nullptr) { assign(p); }
  IPtr(const IPtr& other) : interface_(nullptr), holder_(nullptr) { assign(other.interface_); }
  IPtr& operator=(const IPtr& other) {
    assign(other.interface_);
    return *this;
  }
  // Gives the reference back.
  virtual ~IPtr() { clear(); }

  // Takes the new reference before dropping the old one, so assigning the
  // pointer already held never destroys it in between.
  void assign(I* p) {
    U* newHolder = p ? static_cast<U*>(p) : nullptr;
    if (newHolder) newHolder->addRef();
    clear();
    interface_ = p;
    holder_ = newHolder;
  }
  // Empties the pointer, giving its reference back (both the same).
  void reset() {
    if (interface_) assign(nullptr);
  }
  void clear() {
    if (holder_) {
      U* h = holder_;
      interface_ = nullptr;
      holder_ = nullptr;
      h->releaseRef();
    }
    interface_ = nullptr;
  }

  // The interface held (borrowed), or null.
  I* get() const { return interface_; }
  I* operator->() const { return interface_; }
  explicit operator bool() const { return interface_ != nullptr; }
  // The IVelUnknown part the reference is held on, or null.
  U* holder() const { return holder_; }

 protected:
  I* interface_;
  U* holder_;
};

template <class I, class U = IVelUnknown>
class SPtr : public IPtr<I, U> {
 public:
  // Looks the service up at once: empty when there is no host or the host
  // does not offer it.
  SPtr() { acquire(); }

  // Drops what is held, asks the host again; returns the host's result (0
  // without a host).
  int32_t acquire() {
    this->clear();
    const VelCString name(I::kInterfaceName);  // borrowed, nothing allocated
    const int32_t result = lookupService(name, reinterpret_cast<void**>(&this->interface_));
    if (this->interface_) {
      this->holder_ = static_cast<U*>(this->interface_);
      this->holder_->addRef();
    }
    return result;
  }
};

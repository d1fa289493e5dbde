// The root of every object that crosses the module boundary: a virtual
// destructor, one intrusive reference count, and the six root operations in
// the slot order hosts call them by.
#pragma once

#include <cstdint>

#include "cadencehost/vel_host.h"

class VelObject {
 public:
  virtual ~VelObject();
};

class VelShared : public VelObject {
 public:
  VelShared() : refCount(0) {}
  VelShared(const VelShared&) : refCount(0) {}
  VelShared& operator=(const VelShared&) { return *this; }

  int32_t refCount;
};

// The count value that marks an object whose destruction has begun.
constexpr int32_t kVelDestroyingRefCount = -42;

// Every interface derives virtually from IVelUnknown, so an object has one
// count however many interfaces it implements. Without a host the count is
// local; with a host (g_host) the host's hooks update it. The last release
// stores -42 (local mode) and deletes the object through its destructor.
//
// A host links its own copy of this runtime, with its own g_host: the objects
// a host makes count through its hooks only once the host stores itself in
// that g_host as well (the module's copy is set by IVelComponent::setHost).
class IVelUnknown : public VelShared {
 public:
  static constexpr const char* kInterfaceName = "IVelUnknown";

  // Defined here so that the module's own hot paths (the alert walk, the
  // service pointers) count without a call; hosts still reach them by slot.
  virtual void addRef() {
    if (IVelHost* host = g_host) {
      host->addRefHook(&refCount);
      return;
    }
    ++refCount;
  }
  virtual void releaseRef() {
    if (releaseCount()) destroy();
  }
  virtual int32_t getRefCount() { return refCount; }
  // name non-null: `target` is a void** slot, set to null, then to the
  // matching part. name null: `target` is a VelNameQuery* to list names into.
  virtual void queryInterface(const char* name, void* target) = 0;
  virtual const char* getClassName() = 0;

 protected:
  // The two steps of releaseRef, for a class that must put the second off
  // (not virtual: the table keeps its six slots). releaseCount gives one
  // reference back and says whether the object must now go: the host's hook
  // decides, or the local count reached 0.
  bool releaseCount() {
    if (IVelHost* host = g_host) return host->releaseRefHook(&refCount);
    return --refCount == 0;
  }
  // Deletes the object; a locally counted one is marked first, which code
  // running in the destructor sees.
  void destroy() {
    if (!g_host) refCount = kVelDestroyingRefCount;
    delete this;
  }
};


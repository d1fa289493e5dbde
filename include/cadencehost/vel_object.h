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

// The runtime's last resort when memory runs out: writes the out-of-memory
// report (memory.log) for `attemptedBytes` (0: a size not known), shows the
// notice and ends the process. What the runtime's own templates allocate
// (arrays, item factories) ends here instead of throwing std::bad_alloc at
// their caller.
[[noreturn]] void velOutOfMemory(int64_t attemptedBytes);

// Every interface derives virtually from IVelUnknown, so an object has one
// count however many interfaces it implements. Without a host the count is
// local; with a host (g_host) the host's hooks update it. The last release
// stores -42 (local mode) and deletes the object through its destructor.
//
// References: a new object starts with count 0, and whoever keeps it takes
// the first reference. No operation that hands out an object (EntryPoint,
// createInstance, queryInterface, getBinary, createTimer, getTimer, a
// service written by getService) gives the caller a reference: addRef what
// you keep, releaseRef it when you drop it. An object that stores a pointer
// holds one reference on it.
//
// A host links its own copy of this runtime, with its own g_host: the objects
// a host makes count through its hooks only once the host stores itself in
// that g_host as well (the module's copy is set by IVelComponent::setHost).
class IVelUnknown : public VelShared {
 public:
  static constexpr const char* kInterfaceName = "IVelUnknown";

  // Slot 1 is the virtual destructor (VelObject): objects are deleted
  // through their IVelUnknown part by the last releaseRef, never by a host.

  // Slot 2. Takes one reference: with a host, the host's addRefHook with the
  // address of refCount (and nothing else); without, refCount + 1.
  // Defined here so that the module's own hot paths (the alert walk, the
  // service pointers) count without a call; hosts still reach them by slot.
  virtual void addRef() {
    if (IVelHost* host = g_host) {
      host->addRefHook(&refCount);
      return;
    }
    ++refCount;
  }
  // Slot 3. Gives one reference back: with a host, its releaseRefHook decides
  // (true: the object is deleted now); without, refCount - 1, and at 0 the
  // count becomes -42 and the object is deleted. Releasing an object whose
  // local count is 0 leaves it at -1, alive.
  virtual void releaseRef() {
    if (releaseCount()) destroy();
  }
  // Slot 4. The count as it stands (refCount), unchanged: the references
  // taken on the object (plus, for a singleton, the one its factory keeps).
  virtual int32_t getRefCount() { return refCount; }
  // Slot 5. Query mode, `name` non-null: `target` is a void** slot. The slot
  // is first set to null; then the object writes its part for the name
  // matched exactly (byte for byte, letter case included, the whole name):
  // its class name gives the object itself, "IVelUnknown" this IVelUnknown
  // part, an interface's kInterfaceName that interface's part, as a pointer
  // of that interface's type. No match leaves the slot null. No reference
  // is taken (borrowed: addRef to keep it); velQueryAs<I> (vel_query.h) does
  // the cast. Listing mode, `name` null: `target` is a VelNameQuery* the
  // object appends its names to: the class name (kind 1), then each
  // interface name (kind 0); never "IVelUnknown". The component lists
  // nothing. vel_query.h shows how to set a record up.
  virtual void queryInterface(const char* name, void* target) = 0;
  // Slot 6. The class name (a literal of the module, valid while the module
  // is loaded): what queryInterface compares first and lists first.
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

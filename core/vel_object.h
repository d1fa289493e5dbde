// The root of every object that crosses the module boundary: a virtual
// destructor, one intrusive reference count, and the six root operations in
// the slot order hosts call them by.
#pragma once

#include <cstdint>

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

// Every interface derives virtually from IVelUnknown, so an object has one
// count however many interfaces it implements. Without a host the count is
// local; with a host (g_host) the host's hooks update it. The last release
// stores -42 (local mode) and deletes the object through its destructor.
class IVelUnknown : public VelShared {
 public:
  virtual void addRef();
  virtual void releaseRef();
  virtual int32_t getRefCount();
  // name non-null: `target` is a void** slot, set to null, then to the
  // matching part. name null: `target` is a VelNameQuery* to list names into.
  virtual void queryInterface(const char* name, void* target) = 0;
  virtual const char* getClassName() = 0;
};

// The count value that marks an object whose destruction has begun.
constexpr int32_t kVelDestroyingRefCount = -42;

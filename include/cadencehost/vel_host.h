// The host object as the module sees it, and the process-wide pointer to it.
#pragma once

#include <cstdint>

struct VelCString;

class IVelHost {
 public:
  // Writes a pointer to the named interface into *slot, or leaves it null.
  virtual int32_t getService(const VelCString& name, void** slot) = 0;
  virtual char getTestStatus() = 0;
  virtual void addRefHook(int32_t* counter) = 0;
  // Decrements; true when the object must now be destroyed.
  virtual bool releaseRefHook(int32_t* counter) = 0;

 protected:
  ~IVelHost() = default;
};

// Null until a component's setHost; never cleared or owned by the module.
extern IVelHost* g_host;

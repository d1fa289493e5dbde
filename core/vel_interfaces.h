// The module-side interfaces a host calls: the component, its internal view,
// the binary object, the shutdown listener, and the test service hosts pass in.
#pragma once

#include <cstdint>

#include "core/vel_id.h"
#include "core/vel_object.h"

class IVelHost;
class IVelClcBinary;
class IVelTestService;

class IVelComponent : public virtual IVelUnknown {
 public:
  virtual void setHost(IVelHost* host) = 0;
  virtual void reserved(void*, void*, void*) = 0;
  virtual uint32_t createInstance(const VelID& classId, IVelUnknown** object) = 0;
  virtual const char* getBuildDate() = 0;
  virtual IVelClcBinary* getBinary() = 0;
};

class IVelCompInternal : public virtual IVelUnknown {
 public:
  virtual void reserved1() = 0;
  virtual void reserved2() = 0;
  virtual const VelID* getComponentId() = 0;
  virtual const char* getModuleName() = 0;
  virtual const char* getBuildDate() = 0;
  virtual uint32_t getClassCount() = 0;
  virtual bool getFirstClassId(VelID& out) = 0;
  virtual bool getNextClassId(VelID& out) = 0;
  virtual const char* getClassNameOf(const VelID& classId) = 0;
  virtual bool isValid() = 0;
  virtual void runTests(IVelTestService* service) = 0;
};

class IVelClcBinary : public virtual IVelUnknown {
 public:
  virtual uint32_t getBinaryVersion() = 0;
  virtual const uint8_t* getBinaryId() = 0;
  virtual uint64_t getBinaryIdSize() = 0;
};

class IShutdownListener : public virtual IVelUnknown {
 public:
  virtual void onShutdown() = 0;
};

class IVelTestService : public virtual IVelUnknown {
 public:
  virtual void runTest(intptr_t leadingValue) = 0;
};

// The module's only export.
extern "C" int32_t EntryPoint(uint32_t* version, IVelComponent** object);
using VelEntryPointFn = int32_t (*)(uint32_t* version, IVelComponent** object);

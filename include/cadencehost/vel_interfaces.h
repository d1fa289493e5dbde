// The module-side interfaces a host calls: the component, its internal view,
// the binary object, the shutdown listener, and the test service hosts pass in.
// None of their operations hands the caller a reference: createInstance and
// queryInterface give borrowed pointers, and whoever keeps one calls addRef.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"

class IVelHost;
class IVelClcBinary;
class IVelTestService;

// createInstance's status: 0 when no class is registered under the identifier
// (the output is left alone); a class's item factory answers 2 when it hands
// out its one shared instance (the timer service does).
constexpr uint32_t kVelCreateUnknownClass = 0;
constexpr uint32_t kVelCreatedSingleton = 2;

class IVelComponent : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelComponent";
  // The reserved slots keep the table's shape: hosts call the later
  // operations by position.
  virtual void setHost(IVelHost* host) = 0;
  virtual void reserved(void*, void*, void*) = 0;
  virtual uint32_t createInstance(const VelID& classId, IVelUnknown** object) = 0;
  virtual const char* getBuildDate() = 0;
  virtual IVelClcBinary* getBinary() = 0;
};

class IVelCompInternal : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelCompInternal";
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
  static constexpr const char* kInterfaceName = "IVelClcBinary";
  virtual uint32_t getBinaryVersion() = 0;
  virtual const uint8_t* getBinaryId() = 0;
  virtual uint64_t getBinaryIdSize() = 0;
};

// Told once when the host shuts down; the timer service stops every timer.
class IShutdownListener : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IShutdownListener";
  virtual void onShutdown() = 0;
};

class IVelTestService : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IVelTestService";
  virtual void runTest(intptr_t leadingValue) = 0;
};

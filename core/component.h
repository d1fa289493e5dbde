// The component object handed to the host, the factory that makes it, and
// the process-wide values it answers with.
#pragma once

#include <cstdint>

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_interfaces.h"

#include "core/component_state.h"

class VelBaseComponent : public IVelComponent, public IVelCompInternal {
 public:
  VelBaseComponent() = default;

  // IVelComponent
  void setHost(IVelHost* host) override;
  void reserved(void*, void*, void*) override {}
  uint32_t createInstance(const VelID& classId, IVelUnknown** object) override;
  const char* getBuildDate() override;
  IVelClcBinary* getBinary() override;

  // IVelCompInternal
  void reserved1() override {}
  void reserved2() override {}
  const VelID* getComponentId() override;
  const char* getModuleName() override;
  uint32_t getClassCount() override;
  bool getFirstClassId(VelID& out) override;
  bool getNextClassId(VelID& out) override;
  const char* getClassNameOf(const VelID& classId) override;
  bool isValid() override { return true; }
  void runTests(IVelTestService* service) override;

  // IVelUnknown. Answers queries by name; lists nothing.
  void queryInterface(const char* name, void* target) override;
  static constexpr const char* kClassName = "VelBaseComponent";
  const char* getClassName() override { return kClassName; }
};

// Makes component objects; not an IVelUnknown.
class IVelComponentFactory {
 public:
  virtual ~IVelComponentFactory() = default;
  virtual IVelComponent* createComponent() = 0;
};

// Each call makes a new VelBaseComponent with count 0 (no reference taken).
class VelBaseComponentFact : public IVelComponentFactory {
 public:
  IVelComponent* createComponent() override;
};

// One entry of the component's self-test list; the leading value is what the
// test service is given.
struct VelTestEntry {
  intptr_t leadingValue;
};

// The self-test list: built on the first runTests with a service (capacity
// 21, count 0), never destroyed. This module adds no entries.
VelArray<VelTestEntry*>& velTestList();

// True while runTests runs (guards against re-entry on the same thread).
bool velRunningTests();

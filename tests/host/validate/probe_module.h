// A small sound component library for the validator's tests: its identity
// (probe_identity.cpp) and one class, Probe, answering "IProbe". The sound
// probe registers it as it is; each broken probe breaks one rule.
#pragma once

#include <cstdint>

#include "cadencehost/module.h"
#include "platform/load_hook.h"  // VEL_MODULE_EXPORT

namespace probe {

class IProbe : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IProbe";
  virtual int32_t answer() = 0;
};

class Probe : public IProbe {
 public:
  static constexpr const char* kClassName = "Probe";
  int32_t answer() override { return 42; }
  void queryInterface(const char* name, void* target) override {
    velAnswerQuery<IProbe>(this, kClassName, name, target);
  }
  const char* getClassName() override { return kClassName; }
};

// {5C0B6A1E-7D2F-4E38-9A41-2B6C8D0E1F37}
inline constexpr VelID kProbeClassId(0x5C0B6A1Eu, 0x7D2Fu, 0x4E38u, 0x9A, 0x41, 0x2B, 0x6C, 0x8D, 0x0E, 0x1F, 0x37);

}  // namespace probe

// Broken: createInstance of the probe crashes.
#include "tests/host/validate/probe_module.h"

namespace {

class CrashingFactory : public VelItemFactory {
 public:
  using VelItemFactory::VelItemFactory;
  IVelUnknown* createItem(uint32_t*) override {
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return nullptr;
  }
};

CrashingFactory probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);

}  // namespace

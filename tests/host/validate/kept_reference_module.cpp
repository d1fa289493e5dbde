// Broken: each createInstance leaves a reference on the probe (the caller
// was to take its own).
#include "tests/host/validate/probe_module.h"

namespace {

class KeepingFactory : public VelSingletonTClassItemFactory<probe::Probe> {
 public:
  using VelSingletonTClassItemFactory<probe::Probe>::VelSingletonTClassItemFactory;
  IVelUnknown* createItem(uint32_t* status) override {
    IVelUnknown* object = VelSingletonTClassItemFactory<probe::Probe>::createItem(status);
    object->addRef();
    return object;
  }
};

KeepingFactory probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);

}  // namespace

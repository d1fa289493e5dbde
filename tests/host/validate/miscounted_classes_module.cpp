// Broken: the component's class count is one more than its listing walks.
#include "core/component.h"
#include "tests/host/validate/probe_module.h"

namespace {

VelSingletonTClassItemFactory<probe::Probe> probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);

class MiscountingComponent : public VelBaseComponent {
 public:
  uint32_t getClassCount() override { return VelBaseComponent::getClassCount() + 1; }
};

}  // namespace

extern "C" VEL_MODULE_EXPORT int32_t EntryPoint(uint32_t* version, IVelComponent** object) {
  if (!object || !velComponentState().componentFactory)
    return kVelEntryPointFailed;  // (the factory: the load statics are in)
  *object = new MiscountingComponent;
  *version = kVelInterfaceVersion;
  return kVelEntryPointSucceeded;
}

// Broken three ways at once, as a hand-written EntryPoint can be: it answers
// interface version 99, takes no object slot as a success, and a second
// function is exported beside it (its export list names it).
#include "core/component.h"
#include "tests/host/validate/probe_module.h"

namespace {
VelSingletonTClassItemFactory<probe::Probe> probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);
}  // namespace

extern "C" VEL_MODULE_EXPORT int32_t EntryPoint(uint32_t* version, IVelComponent** object) {
  if (version) *version = kVelInterfaceVersion - 1;
  if (object && velComponentState().componentFactory) *object = velComponentState().componentFactory->createComponent();
  return kVelEntryPointSucceeded;
}

extern "C" VEL_MODULE_EXPORT int32_t probeVersion() { return kVelInterfaceVersion - 1; }

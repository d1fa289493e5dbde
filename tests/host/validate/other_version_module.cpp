// Broken: EntryPoint hands over its component with interface version 101.
#include "core/component.h"
#include "module/module_statics.h"
#include "tests/host/validate/probe_module.h"

namespace {
VelSingletonTClassItemFactory<probe::Probe> probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);
}  // namespace

extern "C" VEL_PROBE_EXPORT int32_t EntryPoint(uint32_t* version, IVelComponent** object) {
  if (!object || !g_velComponentFactory) return kVelEntryPointFailed;
  *object = g_velComponentFactory->createComponent();
  *version = kVelInterfaceVersion + 1;
  return kVelEntryPointSucceeded;
}

// Broken: exports a function besides EntryPoint (its export list names it).
#include "tests/host/validate/probe_module.h"

namespace {
VelSingletonTClassItemFactory<probe::Probe> probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);
}  // namespace

extern "C" VEL_MODULE_EXPORT int32_t probeHelper() { return 1; }

// The sound probe: Probe registered as a singleton; every check passes.
#include "tests/host/validate/probe_module.h"

namespace {
VelSingletonTClassItemFactory<probe::Probe> probeFactory(probe::Probe::kClassName, nullptr, probe::kProbeClassId);
}  // namespace

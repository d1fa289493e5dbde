// The identity of the module this copy of the runtime is linked into: what
// its component and binary object answer, and the component identifier its
// translator is asked for. The module installs its own while it loads; a
// host's copy of the runtime has none and answers with an empty one.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"

struct VelModuleIdentity {
  const char* moduleName;
  const char* buildDate;
  const VelID* componentId;  // process-wide: the same address on every call
  uint32_t binaryVersion;
  const uint8_t* binaryId;
  uint64_t binaryIdSize;
};

// Called once, by the module's first load-time static.
void velInstallModuleIdentity(const VelModuleIdentity* identity);

// The installed identity; before (or without) one, empty texts, a zero
// identifier and no binary id.
const VelModuleIdentity& velModuleIdentity();

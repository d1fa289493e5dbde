// Who a module is: what its component and binary object answer. A module
// built on this runtime defines kVelModuleIdentity once, constant-initialised
// (so it exists before any static constructor runs); the runtime installs it
// while the module loads.
//
//   constinit VelID componentId(0x12345678u, ...);          // the component identifier
//   constexpr uint8_t binaryId[16] = {...};
//   constinit const VelModuleIdentity kVelModuleIdentity = {
//       "clock_mod", "2024-05-01 12:00", &componentId, 1, binaryId, sizeof binaryId};
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"

struct VelModuleIdentity {
  // IVelCompInternal::getModuleName: the module's name (by custom its file
  // name without the extension).
  const char* moduleName;
  // IVelComponent::getBuildDate and IVelCompInternal::getBuildDate.
  const char* buildDate;
  // IVelCompInternal::getComponentId: must be a process-wide object (the
  // same address on every call), and unique to the module.
  const VelID* componentId;
  // IVelClcBinary::getBinaryVersion.
  uint32_t binaryVersion;
  // IVelClcBinary::getBinaryId and getBinaryIdSize: the binary object keeps
  // a copy of these bytes (16 by custom).
  const uint8_t* binaryId;
  uint64_t binaryIdSize;
};

// Defined by the module (see above); never by a host.
extern const VelModuleIdentity kVelModuleIdentity;

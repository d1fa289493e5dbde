// Who this module is: its name, build date, component identifier and the
// 16-byte identifier of its binary object. Constant-initialised, so they are
// ready before any static constructor runs.
#include "cadencehost/module_identity.h"
#include "cadencehost/module_ids.h"

namespace {
constexpr uint8_t binaryIdBytes[16] = {0xb5, 0xe2, 0x61, 0xdc, 0x48, 0x5e, 0xf4, 0xe7,
                                       0x9f, 0x8e, 0x0a, 0xdb, 0x71, 0xf7, 0x45, 0x90};
// The component identifier: a process-wide copy of the constant.
constinit VelID componentId(kVelComponentId);
}  // namespace

constinit const VelModuleIdentity kVelModuleIdentity = {"cadencehost_mod", VEL_BUILD_DATE,       &componentId, 1,
                                                        binaryIdBytes,     sizeof(binaryIdBytes)};

// Who monoclock_mod is: what its component and binary object answer.
// Constant-initialised, so it exists before any static constructor runs.
#include "cadencehost/module_identity.h"

namespace {
// {C4A1D2E3-F405-4617-8829-3A4B5C6D7E8F}
constinit VelID componentId(0xC4A1D2E3u, 0xF405u, 0x4617u, 0x88, 0x29, 0x3A, 0x4B, 0x5C, 0x6D, 0x7E, 0x8F);
constexpr uint8_t binaryId[16] = {0x6d, 0x6f, 0x6e, 0x6f, 0x63, 0x6c, 0x6f, 0x63,
                                  0x6b, 0x2d, 0x6d, 0x6f, 0x64, 0x00, 0x00, 0x01};
}  // namespace

constinit const VelModuleIdentity kVelModuleIdentity = {"monoclock_mod", MONOCLOCK_BUILD_DATE, &componentId, 1,
                                                        binaryId,        sizeof binaryId};

// The probe modules' identity.
#include "cadencehost/module_identity.h"

namespace {
constexpr uint8_t binaryId[16] = {0x70, 0x72, 0x6f, 0x62, 0x65, 0x2d, 0x6d, 0x6f,
                                  0x64, 0x75, 0x6c, 0x65, 0x00, 0x00, 0x00, 0x01};
// {0E7A4C2B-19D3-4F6A-8B5C-3D2E1F0A9B87}
constinit VelID componentId(0x0E7A4C2Bu, 0x19D3u, 0x4F6Au, 0x8B, 0x5C, 0x3D, 0x2E, 0x1F, 0x0A, 0x9B, 0x87);
}  // namespace

constinit const VelModuleIdentity kVelModuleIdentity = {"probe_mod", "2024-01-01 00:00", &componentId,
                                                        1,           binaryId,           sizeof binaryId};

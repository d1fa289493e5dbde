// The identifiers of this module. constinit: they are built before any
// dynamic initialisation, so item factories registering at load can copy them
// whatever the link order.
#include "core/vel_id.h"

namespace {
constexpr VelID timerServiceClassId(0xA29D47F5u, 0xFC31u, 0x456Fu, 0x8F, 0x72, 0x10, 0xD7, 0x67,
                                    0x23, 0x6F, 0xEF);
constexpr VelID componentIdValue(0xE6BE9F43u, 0xF2E6u, 0x4917u, 0x93, 0x0E, 0xF7, 0x24, 0xB2, 0xDE,
                                 0x29, 0xF2);
// The component identifier: a process-wide copy of the constant.
constinit VelID componentId(componentIdValue);
}  // namespace

constinit const VelID kVelTimerServiceClassId(timerServiceClassId);
constinit const VelID kVelComponentIdValue(componentIdValue);

const VelID& velComponentId() { return componentId; }

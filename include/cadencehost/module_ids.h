// What cadencehost_mod answers with: the identifier of its component and of
// its one creatable class, the timer service (created through
// IVelComponent::createInstance with status kVelCreatedSingleton).
#pragma once

#include "cadencehost/vel_id.h"

// {E6BE9F43-F2E6-4917-930E-F724B2DE29F2}: what IVelCompInternal::getComponentId points at.
inline constexpr VelID kVelComponentId(0xE6BE9F43u, 0xF2E6u, 0x4917u, 0x93, 0x0E, 0xF7, 0x24, 0xB2, 0xDE, 0x29, 0xF2);

// {A29D47F5-FC31-456F-8F72-10D767236FEF}: the timer service.
inline constexpr VelID kVelTimerServiceClassId(0xA29D47F5u, 0xFC31u, 0x456Fu, 0x8F, 0x72, 0x10, 0xD7, 0x67, 0x23, 0x6F,
                                               0xEF);
inline constexpr const char* kVelTimerServiceClassName = "TimerService";

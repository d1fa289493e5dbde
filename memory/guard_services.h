// The host's memory manager as guarded allocation sees it: looked up once, at
// the first use, released at unload (forget() lets a test start afresh).
#pragma once

#include "cadencehost/vel_services.h"
#include "core/service_holders.h"

namespace cadence::guard {

using ManagerHolder = ResettableService<OnceService<VelMM::IVelMManager>>;

// "IVelMManager", looked up once.
ManagerHolder& memoryManagerHolder();

// The host's memory manager, or null if it offers none.
VelMM::IVelMManager* memoryManager();

}  // namespace cadence::guard

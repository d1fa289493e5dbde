// The process-wide holder of the host's memory manager.
#include "memory/guard_services.h"

namespace cadence::guard {

ManagerHolder& memoryManagerHolder() {
  return builtOnFirstUse<[] { return ManagerHolder(); }>();
}

VelMM::IVelMManager* memoryManager() { return memoryManagerHolder().get(); }

}  // namespace cadence::guard

// The process-wide holder of the host's memory manager.
#include "memory/guard_services.h"

VelResettableService<VelOnceService<VelMM::IVelMManager>>& memoryManagerHolder() {
  static VelResettableService<VelOnceService<VelMM::IVelMManager>> holder;
  return holder;
}

VelMM::IVelMManager* memoryManager() { return memoryManagerHolder().get(); }

// The process-wide holders of the memory guard's services.
#include "memory/guard_services.h"

ResettableService<VelOnceService<VelMM::IVelMManager>>& memoryManagerHolder() {
  static ResettableService<VelOnceService<VelMM::IVelMManager>> holder;
  return holder;
}

ResettableService<VelRetryingService<IMemChecker>>& memCheckerHolder() {
  static ResettableService<VelRetryingService<IMemChecker>> holder;
  return holder;
}

ResettableService<VelOnceService<IVelDirService>>& dirServiceHolder() {
  static ResettableService<VelOnceService<IVelDirService>> holder;
  return holder;
}

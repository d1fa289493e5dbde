// The process-wide holders of the report's services.
#include "report/report_services.h"

namespace cadence::report {

VelResettableService<VelRetryingService<IMemChecker>>& memCheckerHolder() {
  static VelResettableService<VelRetryingService<IMemChecker>> holder;
  return holder;
}

VelResettableService<VelOnceService<IVelDirService>>& dirServiceHolder() {
  static VelResettableService<VelOnceService<IVelDirService>> holder;
  return holder;
}

}  // namespace cadence::report

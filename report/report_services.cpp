// The process-wide holders of the report's services.
#include "report/report_services.h"

namespace cadence::report {

MemCheckerHolder& memCheckerHolder() {
  return builtOnFirstUse<[] { return MemCheckerHolder(); }>();
}

DirServiceHolder& dirServiceHolder() {
  return builtOnFirstUse<[] { return DirServiceHolder(); }>();
}

}  // namespace cadence::report

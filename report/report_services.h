// The process-wide service pointers of the out-of-memory report and the
// temporary-file paths: built on first use, released at unload; forget()
// drops one, so the next use asks the host afresh.
#pragma once

#include "cadencehost/vel_services.h"
#include "core/service_holders.h"

namespace cadence::report {

using MemCheckerHolder = ResettableService<RetryingService<IMemChecker>>;
using DirServiceHolder = ResettableService<OnceService<IVelDirService>>;

// "IMemChecker", looked up again while none was found.
MemCheckerHolder& memCheckerHolder();
// "IVelDirService", looked up once.
DirServiceHolder& dirServiceHolder();

}  // namespace cadence::report

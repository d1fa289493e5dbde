// The system's memory figures in KiB: from the host's memory checker when it
// supplies them, else from the platform's memory status.
#include "report/memory_figures.h"

#include <algorithm>
#include <cstdint>

#include "cadencehost/vel_services.h"
#include "platform/system.h"
#include "report/report_services.h"

namespace cadence::report {

int32_t systemMemoryFigures(int64_t* systemFree, int64_t* systemTotal, int64_t* swapFree, int64_t* swapTotal) {
  IMemChecker* checker = memCheckerHolder().get();
  if (checker && checker->suppliesFigures()) {
    return checker->memoryFigures(systemFree, systemTotal, swapFree, swapTotal, 1024);
  }

  cadence::port::MemoryStatus status;
  if (!cadence::port::system().memoryStatus(&status)) return -1;

  const uint64_t swapTotalBytes = std::min(status.totalVirtual - status.totalPhys, status.totalPageFile);
  const uint64_t swapFreeBytes = std::min(status.availVirtual - status.availPhys, status.availPageFile);
  const int64_t swapFreeCapped = std::min(static_cast<int64_t>(swapFreeBytes), static_cast<int64_t>(swapTotalBytes));

  if (systemTotal) *systemTotal = static_cast<int64_t>(status.totalPhys) / 1024;
  if (systemFree) *systemFree = static_cast<int64_t>(status.availPhys) / 1024;
  if (swapTotal) *swapTotal = static_cast<int64_t>(swapTotalBytes) / 1024;
  if (swapFree) *swapFree = swapFreeCapped / 1024;
  return 0;
}

}  // namespace cadence::report

// Memory figures from GetProcessMemoryInfo (the working set) and
// GlobalMemoryStatusEx. Windows has no figure for a process's swapped-out
// memory, so that one stays 0; the machine's swap is its commit limit
// beyond physical memory.
#include "host/process_memory.h"

#include "platform/windows/windows_api.h"
// After windows.h, which it needs.
#include <psapi.h>

namespace cadence::host {

MemoryFigures readMemoryFigures() {
  MemoryFigures figures;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    figures.processResident = counters.WorkingSetSize;
  }
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (GlobalMemoryStatusEx(&status)) {
    figures.physicalTotal = status.ullTotalPhys;
    figures.swapTotal = status.ullTotalPageFile > status.ullTotalPhys ? status.ullTotalPageFile - status.ullTotalPhys : 0;
  }
  return figures;
}

}  // namespace cadence::host

// Memory figures from /proc/self/status and sysinfo.
#include "host/process_memory.h"

#include <sys/sysinfo.h>

#include <cstdio>
#include <cstring>

namespace cadence::host {
namespace {

// "VmRSS:    1234 kB" -> 1234 * 1024 when the line starts with `field`.
bool readKilobyteField(const char* line, const char* field, uint64_t* bytes) {
  const size_t length = std::strlen(field);
  if (std::strncmp(line, field, length) != 0) return false;
  unsigned long long kilobytes = 0;
  if (std::sscanf(line + length, " %llu", &kilobytes) != 1) return false;
  *bytes = kilobytes * 1024u;
  return true;
}

}  // namespace

MemoryFigures readMemoryFigures() {
  MemoryFigures figures;
  if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
      readKilobyteField(line, "VmRSS:", &figures.processResident) ||
          readKilobyteField(line, "VmSwap:", &figures.processSwapped);
    }
    std::fclose(status);
  }
  struct sysinfo info {};
  if (sysinfo(&info) == 0) {
    figures.physicalTotal = static_cast<uint64_t>(info.totalram) * info.mem_unit;
    figures.swapTotal = static_cast<uint64_t>(info.totalswap) * info.mem_unit;
  }
  return figures;
}

}  // namespace cadence::host

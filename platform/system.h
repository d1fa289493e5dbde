// Process and machine facts: memory figures, process id, the high-resolution
// counter, and the load-time hint that the module wants no thread notices.
#pragma once

#include <cstdint>
#include <string>

namespace cadence::port {

// The memory figures in bytes, shaped like the Windows memory status record.
// On POSIX the "page file" figures are the swap figures and the "virtual" ones
// are physical plus swap, so (virtual - physical) gives the swap figures too.
struct MemoryStatus {
  uint64_t totalPhys = 0;
  uint64_t availPhys = 0;
  uint64_t totalPageFile = 0;
  uint64_t availPageFile = 0;
  uint64_t totalVirtual = 0;
  uint64_t availVirtual = 0;
};

class System {
 public:
  virtual ~System() = default;
  virtual bool memoryStatus(MemoryStatus* out) = 0;     // GlobalMemoryStatusEx
  virtual uint32_t processId() = 0;                     // GetCurrentProcessId
  virtual int64_t performanceCounter() = 0;             // QueryPerformanceCounter
  virtual bool disableThreadNotices(void* module) = 0;  // DisableThreadLibraryCalls
  // The system's directory for temporary files (GetTempPathW; on POSIX
  // TMPDIR when it names an absolute directory, else /tmp), without a
  // trailing separator; empty when there is none.
  virtual std::u16string temporaryDirectory() = 0;
};

System& system();
System* setSystem(System* replacement);
System& realSystem();

}  // namespace cadence::port

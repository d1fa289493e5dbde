// Memory figures, process id, the high-resolution counter and the load-time
// thread-notice hint on Windows.
#include "platform/windows/windows_api.h"

#include "base/process_wide.h"
#include "platform/system.h"

namespace cadence::port {
namespace {

class RealSystem final : public System {
 public:
  bool memoryStatus(MemoryStatus* out) override {
    if (!out) return false;
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return false;
    out->totalPhys = status.ullTotalPhys;
    out->availPhys = status.ullAvailPhys;
    out->totalPageFile = status.ullTotalPageFile;
    out->availPageFile = status.ullAvailPageFile;
    out->totalVirtual = status.ullTotalVirtual;
    out->availVirtual = status.ullAvailVirtual;
    return true;
  }
  uint32_t processId() override { return static_cast<uint32_t>(::GetCurrentProcessId()); }
  int64_t performanceCounter() override {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    return static_cast<int64_t>(counter.QuadPart);
  }
  bool disableThreadNotices(void* module) override {
    return ::DisableThreadLibraryCalls(static_cast<HMODULE>(module)) != FALSE;
  }
  std::u16string temporaryDirectory() override {
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH + 1) return {};
    std::u16string directory(reinterpret_cast<const char16_t*>(buffer), length);
    while (directory.size() > 1 && (directory.back() == u'\\' || directory.back() == u'/')) directory.pop_back();
    return directory;
  }
};

}  // namespace

System& realSystem() { return cadence::neverDestroyed<RealSystem>(); }

}  // namespace cadence::port

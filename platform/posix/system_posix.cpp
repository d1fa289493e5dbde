// Memory figures, process id and the monotonic counter on POSIX (Linux).
#include <sys/sysinfo.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "base/process_wide.h"
#include "platform/system.h"
#include "platform/utf.h"

namespace cadence::port {
namespace {

class RealSystem final : public System {
 public:
  bool memoryStatus(MemoryStatus* out) override {
    struct sysinfo info {};
    if (!out || ::sysinfo(&info) != 0) return false;
    const uint64_t unit = info.mem_unit ? info.mem_unit : 1;
    out->totalPhys = static_cast<uint64_t>(info.totalram) * unit;
    out->availPhys = static_cast<uint64_t>(info.freeram + info.bufferram) * unit;
    out->totalPageFile = static_cast<uint64_t>(info.totalswap) * unit;
    out->availPageFile = static_cast<uint64_t>(info.freeswap) * unit;
    out->totalVirtual = out->totalPhys + out->totalPageFile;
    out->availVirtual = out->availPhys + out->availPageFile;
    return true;
  }
  uint32_t processId() override { return static_cast<uint32_t>(::getpid()); }
  int64_t performanceCounter() override {
    struct timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
  }
  bool disableThreadNotices(void*) override { return true; }  // POSIX sends none
  std::u16string temporaryDirectory() override {
    // A relative TMPDIR would put spill files wherever the process happens
    // to stand; only an absolute one counts.
    const char* configured = std::getenv("TMPDIR");
    std::string directory = configured && configured[0] == '/' ? configured : "/tmp";
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    std::u16string wide;
    if (!utf8ToUtf16(directory, &wide)) wide = u"/tmp";  // a name paths cannot carry
    return wide;
  }
};

}  // namespace

System& realSystem() { return cadence::neverDestroyed<RealSystem>(); }

}  // namespace cadence::port

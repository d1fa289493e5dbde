// The notice on POSIX: caption and text written to standard error as one
// block (no window system is assumed).
#include <unistd.h>

#include <string>

#include "base/process_wide.h"
#include "platform/notice.h"
#include "platform/utf.h"

namespace cadence::port {
namespace {

class StderrNotice final : public Notice {
 public:
  int show(const char16_t* text, const char16_t* caption, uint32_t) override {
    std::string block = "[" + utf16ToUtf8(caption) + "]\n" + utf16ToUtf8(text) + "\n";
    const char* p = block.data();
    size_t left = block.size();
    while (left > 0) {
      ssize_t n = ::write(STDERR_FILENO, p, left);
      if (n <= 0) break;
      p += n;
      left -= static_cast<size_t>(n);
    }
    return 1;  // OK
  }
};

}  // namespace

Notice& systemNotice() { return cadence::neverDestroyed<StderrNotice>(); }

}  // namespace cadence::port

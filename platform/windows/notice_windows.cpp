// The notice on Windows: a message box with the given caption, text and style.
#include "platform/windows/windows_api.h"

#include "base/process_wide.h"
#include "platform/notice.h"

namespace cadence::port {
namespace {

const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text ? text : u""); }

class MessageBoxNotice final : public Notice {
 public:
  int show(const char16_t* text, const char16_t* caption, uint32_t style) override {
    return ::MessageBoxW(nullptr, wide(text), wide(caption), static_cast<UINT>(style));
  }
};

}  // namespace

Notice& systemNotice() {
  static cadence::NoDestructor<MessageBoxNotice> notice;  // never destroyed: used until the very end
  return *notice;
}

}  // namespace cadence::port

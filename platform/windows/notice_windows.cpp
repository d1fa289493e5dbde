// The notice on Windows: a message box with the given caption, text and
// style, shown through MessageBoxW (or the call a test put in its place).
#include "platform/windows/windows_api.h"

#include <atomic>

#include "base/process_wide.h"
#include "platform/notice.h"
#include "platform/windows/message_box.h"

namespace cadence::port {
namespace {

const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text ? text : u""); }

int systemMessageBox(const wchar_t* text, const wchar_t* caption, unsigned int style) {
  return ::MessageBoxW(nullptr, text, caption, static_cast<UINT>(style));
}

std::atomic<MessageBoxCall> messageBoxCall{systemMessageBox};

class MessageBoxNotice final : public Notice {
 public:
  int show(const char16_t* text, const char16_t* caption, uint32_t style) override {
    return messageBoxCall.load(std::memory_order_acquire)(wide(text), wide(caption), style);
  }
};

}  // namespace

MessageBoxCall setMessageBoxCall(MessageBoxCall replacement) {
  return messageBoxCall.exchange(replacement ? replacement : systemMessageBox, std::memory_order_acq_rel);
}

Notice& systemNotice() { return cadence::neverDestroyed<MessageBoxNotice>(); }

}  // namespace cadence::port

// The user notice (a message box on Windows; standard error on POSIX).
#pragma once

#include <cstdint>

namespace cadence::port {

class Notice {
 public:
  virtual ~Notice() = default;
  // Shows `text` under `caption` and returns when the user has seen it.
  // Style 0 is a single OK button. Returns the button pressed (1 for OK).
  virtual int show(const char16_t* text, const char16_t* caption, uint32_t style) = 0;
};

Notice& notice();
Notice* setNotice(Notice* replacement);
Notice& systemNotice();

}  // namespace cadence::port

// UTF-16 <-> UTF-8 conversion for the platform layer (paths, notice text).
#pragma once

#include <string>

namespace cadence::port {

// Converts NUL-terminated UTF-16 (null counts as empty) to UTF-8. Unpaired
// surrogates become U+FFFD.
std::string utf16ToUtf8(const char16_t* text);

}  // namespace cadence::port

// UTF-16 <-> UTF-8 conversion for the platform layer (paths, notice text,
// the system's temporary directory).
#pragma once

#include <string>

namespace cadence::port {

// Converts NUL-terminated UTF-16 (null counts as empty) to UTF-8. Unpaired
// surrogates become U+FFFD.
std::string utf16ToUtf8(const char16_t* text);

// Converts UTF-8 to UTF-16; false (and *out unspecified) when the bytes are
// not well-formed UTF-8 or hold a NUL.
bool utf8ToUtf16(const std::string& text, std::u16string* out);

}  // namespace cadence::port

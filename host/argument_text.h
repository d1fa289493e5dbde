// Text from the command line shown in a one-line message.
#pragma once

#include <QString>

namespace cadence::host {

// C0 controls (tab and line feed among them), DEL and the C1 controls.
inline bool isControlCharacter(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// `text` fit for a one-line message: tab, line feed and carriage return
// written as \t, \n and \r, other control characters as \xHH (C0, DEL) or
// \uHHHH (C1), unpaired surrogates as \uHHHH, and anything beyond
// kShownCharacters characters cut off with "...".
inline constexpr int kShownCharacters = 60;
QString printableArgument(const QString& text);

}  // namespace cadence::host

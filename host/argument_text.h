// The program's arguments as text: decoded as UTF-8 whatever the locale, with
// every byte that is not part of well-formed UTF-8 kept recognisable, and
// shown in messages on one line.
#pragma once

#include <QString>
#include <QStringList>

namespace cadence::host {

// UTF-8 to UTF-16. A byte that is not part of a well-formed sequence (always
// 0x80 or above) becomes the unpaired surrogate U+DC00 + byte, which no
// well-formed text decodes to.
QString decodeArgument(const char* bytes);

// argv as text, program name first.
QStringList decodeArguments(int argc, char** argv);

// The program's arguments as the system hands them over: on Windows the
// UTF-16 command line (argv there is in the ANSI code page), elsewhere argv
// through decodeArguments.
QStringList programArguments(int argc, char** argv);

// C0 controls (tab and line feed among them), DEL and the C1 controls.
bool isControlCharacter(char32_t c);

// The byte that `c`, a character that is not half of a surrogate pair,
// stands for when decodeArgument kept it as an unpaired surrogate; else -1.
int keptByte(QChar c);

// `text` fit for a one-line message: tab, line feed and carriage return
// written as \t, \n and \r, other control characters as \xHH (C0, DEL) or
// \uHHHH (C1), kept bytes as \xHH, other unpaired surrogates as \uHHHH, and
// anything beyond kShownCharacters characters cut off with "...".
inline constexpr int kShownCharacters = 60;
QString printableArgument(const QString& text);

}  // namespace cadence::host

// How wide a text is on a terminal, in columns, so that columns of names line
// up whatever their script: most characters take one column, East Asian wide
// and fullwidth characters and emoji two, combining marks and other
// zero-width characters none.
#pragma once

#include <string>

namespace cadence::host {

// Columns of one character (a Unicode code point).
int characterColumns(char32_t c);

// Columns of UTF-8 text (text that is not UTF-8 counts one column a byte).
int terminalColumns(const std::string& utf8);

// `utf8` followed by the spaces that make it `columns` wide; unchanged when
// it is that wide already.
std::string padToColumns(const std::string& utf8, int columns);

}  // namespace cadence::host

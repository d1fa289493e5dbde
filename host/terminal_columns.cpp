// Terminal widths of characters: the wide ranges are the main blocks of the
// East Asian Width classes W and F and the emoji blocks; zero width comes from
// the character's general category.
#include "host/terminal_columns.h"

#include <algorithm>
#include <iterator>

#include <QChar>

#include "host/utf8_text.h"

namespace cadence::host {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Sorted, not overlapping.
constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F2FF},
    {0x1F300, 0x1F320}, {0x1F32D, 0x1F335}, {0x1F337, 0x1F37C}, {0x1F37E, 0x1F393}, {0x1F3A0, 0x1F3CA},
    {0x1F3CF, 0x1F3D3}, {0x1F3E0, 0x1F3F0}, {0x1F3F4, 0x1F3F4}, {0x1F3F8, 0x1F43E}, {0x1F440, 0x1F440},
    {0x1F442, 0x1F4FC}, {0x1F4FF, 0x1F53D}, {0x1F54B, 0x1F54E}, {0x1F550, 0x1F567}, {0x1F57A, 0x1F57A},
    {0x1F595, 0x1F596}, {0x1F5A4, 0x1F5A4}, {0x1F5FB, 0x1F64F}, {0x1F680, 0x1F6C5}, {0x1F6CC, 0x1F6CC},
    {0x1F6D0, 0x1F6D2}, {0x1F6D5, 0x1F6D7}, {0x1F6EB, 0x1F6EC}, {0x1F6F4, 0x1F6FC}, {0x1F7E0, 0x1F7EB},
    {0x1F90C, 0x1F93A}, {0x1F93C, 0x1F945}, {0x1F947, 0x1F9FF}, {0x1FA70, 0x1FAFF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

bool isWide(char32_t c) {
  const Range* end = std::end(kWide);
  const Range* at = std::lower_bound(std::begin(kWide), end, c, [](const Range& r, char32_t v) { return r.last < v; });
  return at != end && at->first <= c;
}

bool isZeroWidth(char32_t c) {
  if (c == 0x00AD) return false;                  // soft hyphen: shown as a hyphen
  if (c >= 0x1160 && c <= 0x11FF) return true;    // Hangul vowels and finals join the syllable
  if (c == 0x200B) return true;                   // zero width space
  switch (QChar::category(static_cast<uint>(c))) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
    case QChar::Other_Control:
      return true;
    default:
      return false;
  }
}

}  // namespace

int characterColumns(char32_t c) {
  if (c < 0x7F) return c < 0x20 ? 0 : 1;
  if (isZeroWidth(c)) return 0;
  return isWide(c) ? 2 : 1;
}

int terminalColumns(const std::string& utf8) {
  const auto* data = reinterpret_cast<const unsigned char*>(utf8.data());
  int columns = 0;
  for (size_t at = 0; at < utf8.size();) {
    const int length = utf8SequenceLength(data + at, utf8.size() - at);
    if (length == 0) {
      ++columns;
      ++at;
      continue;
    }
    columns += characterColumns(decodeUtf8Sequence(data + at, length));
    at += static_cast<size_t>(length);
  }
  return columns;
}

std::string padToColumns(const std::string& utf8, int columns) {
  const int missing = columns - terminalColumns(utf8);
  return missing > 0 ? utf8 + std::string(static_cast<size_t>(missing), ' ') : utf8;
}

}  // namespace cadence::host

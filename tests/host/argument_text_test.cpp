// Text from the command line and in the output: strict UTF-8 checks, the
// decoding of arguments that keeps bytes which are not UTF-8, their one-line
// form in messages, and the terminal columns names are padded by.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/argument_text.h"
#include "host/terminal_columns.h"
#include "host/utf8_text.h"

namespace cadence::host {
namespace {

int64_t invalidAt(const std::string& bytes) { return firstInvalidUtf8(bytes.data(), bytes.size()); }

TEST(Utf8Text, AcceptsEveryWellFormedBoundaryAndFindsTheFirstBadByte) {
  for (const std::string valid : {"", "plain", "\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF",
                                  "\xEE\x80\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF"}) {
    EXPECT_EQ(invalidAt(valid), -1) << valid;
  }
  EXPECT_EQ(invalidAt(std::string("a\0b", 3)), -1);  // NUL is UTF-8; files refuse it separately
  const std::vector<std::pair<std::string, int64_t>> invalid = {
      {"\x80", 0},                  // a continuation byte alone
      {"ab\xC0\xAF", 2},            // overlong '/'
      {"\xC1\xBF", 0},              // overlong
      {"\xE0\x9F\xBF", 0},          // overlong three-byte form
      {"x\xED\xA0\x80", 1},         // a surrogate
      {"\xF0\x8F\xBF\xBF", 0},      // overlong four-byte form
      {"\xF4\x90\x80\x80", 0},      // above U+10FFFF
      {"\xF5\x80\x80\x80", 0},
      {"\xFF", 0},
      {"ok\xE6\x97", 2},            // cut short at the end
      {"\xE6\x97x", 0},             // cut short by an ASCII byte
      {"\xC3\xA9\xC3", 2},
  };
  for (const auto& [bytes, offset] : invalid) EXPECT_EQ(invalidAt(bytes), offset) << offset;
}

TEST(ArgumentText, DecodesUtf8AndKeepsEveryOtherByteRecognisable) {
  EXPECT_EQ(decodeArgument("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80"), QString::fromUtf8("Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80"));
  const QString kept = decodeArgument("caf\xE9 \xC0\xAF");
  ASSERT_EQ(kept.size(), 7);
  EXPECT_EQ(kept.left(3), "caf");
  EXPECT_EQ(keptByte(kept[3]), 0xE9);
  EXPECT_EQ(keptByte(kept[4]), -1);  // the space
  EXPECT_EQ(keptByte(kept[5]), 0xC0);
  EXPECT_EQ(keptByte(kept[6]), 0xAF);
  EXPECT_EQ(keptByte(QChar(u'\xE9')), -1);  // the character, not the byte
  EXPECT_EQ(decodeArgument(""), QString());
  EXPECT_EQ(decodeArgument(nullptr), QString());
  char first[] = "prog", second[] = "\xE6\x97\xA5";
  char* argv[] = {first, second};
  EXPECT_EQ(decodeArguments(2, argv), ((QStringList() << "prog" << QString::fromUtf8("\xE6\x97\xA5"))));
}

TEST(ArgumentText, ShowsAnyArgumentOnOneLineAndCutsLongOnes) {
  EXPECT_EQ(printableArgument("a\tb\nc\rd"), "a\\tb\\nc\\rd");
  EXPECT_EQ(printableArgument(QString("nul") + QChar(0) + "esc\x1B" "del\x7F"), "nul\\x00esc\\x1Bdel\\x7F");
  EXPECT_EQ(printableArgument(QString(QChar(0x85))), "\\u0085");
  EXPECT_EQ(printableArgument(decodeArgument("\xE9\xFF")), "\\xE9\\xFF");
  EXPECT_EQ(printableArgument(QString(QChar(0xD800))), "\\uD800");  // a surrogate that is no kept byte
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
  EXPECT_EQ(printableArgument(emoji), emoji);  // a pair stays as it is
  EXPECT_EQ(printableArgument(QString(kShownCharacters, 'x')), QString(kShownCharacters, 'x'));
  EXPECT_EQ(printableArgument(QString(kShownCharacters + 1, 'x')), QString(kShownCharacters, 'x') + "...");
  EXPECT_EQ(printableArgument(QString(131000, 'x')).size(), kShownCharacters + 3);
}

TEST(TerminalColumns, CountWideCharactersTwiceAndMarksNotAtAll) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"", 0},
      {"timer", 5},
      {"Gr\xC3\xBC\xC3\x9F" "e", 5},                     // Latin letters of two bytes: one column each
      {"\xE6\x97\xA5\xE6\x9C\xAC", 4},                   // two CJK ideographs
      {"\xED\x95\x9C\xEA\xB8\x80", 4},                   // two Hangul syllables
      {"\xEF\xBC\xA1", 2},                               // fullwidth A
      {"\xF0\x9F\x98\x80", 2},                           // an emoji
      {"e\xCC\x8A", 1},                                  // e + combining ring
      {"\xE2\x80\x8B", 0},                               // zero width space
      {"\xC2\xAD", 1},                                   // soft hyphen
      {"\xD0\x9C\xD0\xB8\xD1\x80", 3},                   // Cyrillic
      {"\xE3\x80\x80", 2},                               // ideographic space
      {"\xE3\x80\xBF", 1},                               // U+303F, narrow among the wide
      {"\xF0\xA0\x80\x80", 2},                           // CJK extension B
      {"ab\xFF", 3},                                     // not UTF-8: a column a byte
  };
  for (const auto& [text, columns] : cases) EXPECT_EQ(terminalColumns(text), columns) << text;
}

TEST(TerminalColumns, PadsNamesOfAnyScriptToTheSameWidth) {
  for (const std::string name : {"x", "Gr\xC3\xBC\xC3\x9F" "e", "\xE6\x97\xA5\xE6\x9C\xAC", "e\xCC\x8A",
                                 "\xF0\x9F\x98\x80!"}) {
    const std::string padded = padToColumns(name, 8);
    EXPECT_EQ(terminalColumns(padded), 8) << name;
    EXPECT_EQ(padded.substr(0, name.size()), name);
  }
  EXPECT_EQ(padToColumns("longer than four", 4), "longer than four");
}

}  // namespace
}  // namespace cadence::host

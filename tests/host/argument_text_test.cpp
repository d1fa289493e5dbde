// Text from the command line in messages and in the output: the one-line
// form of any argument, and names padded by their characters.
#include <gtest/gtest.h>

#include <string>

#include "host/command_line.h"
#include "host/run_window.h"

namespace cadence::host {
namespace {

TEST(ArgumentText, ShowsAnyArgumentOnOneLineAndCutsLongOnes) {
  EXPECT_EQ(printableArgument("a\tb\nc\rd"), "a\\tb\\nc\\rd");
  EXPECT_EQ(printableArgument(QString("nul") + QChar(0) +
                              "esc\x1B"
                              "del\x7F"),
            "nul\\x00esc\\x1Bdel\\x7F");
  EXPECT_EQ(printableArgument(QString(QChar(0x85))), "\\u0085");
  EXPECT_EQ(printableArgument(QString(QChar(0xD800))), "\\uD800");  // an unpaired surrogate
  const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
  EXPECT_EQ(printableArgument(emoji), emoji);  // a pair stays as it is
  EXPECT_EQ(printableArgument(QString(kShownCharacters, 'x')), QString(kShownCharacters, 'x'));
  EXPECT_EQ(printableArgument(QString(kShownCharacters + 1, 'x')), QString(kShownCharacters, 'x') + "...");
  EXPECT_EQ(printableArgument(QString(131000, 'x')).size(), kShownCharacters + 3);
}

TEST(ArgumentText, NamesArePaddedToTheSameNumberOfCharacters) {
  for (const std::string name : {"x",
                                 "Gr\xC3\xBC\xC3\x9F"
                                 "e",
                                 "\xE6\x97\xA5\xE6\x9C\xAC", "\xF0\x9F\x98\x80!"}) {
    const std::string padded = padToColumns(name, 8);
    EXPECT_EQ(columnsOf(padded), 8) << name;
    EXPECT_EQ(padded.substr(0, name.size()), name);
  }
  EXPECT_EQ(padToColumns("longer than four", 4), "longer than four");
}

}  // namespace
}  // namespace cadence::host

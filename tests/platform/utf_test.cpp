// UTF-16 to UTF-8 for paths and notice texts: every length of encoding,
// surrogate pairs, and unpaired surrogates replaced rather than passed on.
#include <gtest/gtest.h>

#include "platform/utf.h"

namespace {

using cadence::port::utf16ToUtf8;

TEST(Utf16ToUtf8, EncodesEveryLengthAndReplacesUnpairedSurrogates) {
  EXPECT_EQ(utf16ToUtf8(nullptr), "");
  EXPECT_EQ(utf16ToUtf8(u""), "");
  EXPECT_EQ(utf16ToUtf8(u"c:\\logs"), "c:\\logs");
  EXPECT_EQ(utf16ToUtf8(u"\u00e9\u07ff"), "\xc3\xa9\xdf\xbf");          // two bytes
  EXPECT_EQ(utf16ToUtf8(u"\u0800\uffff"), "\xe0\xa0\x80\xef\xbf\xbf");  // three
  EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xf0\x9f\x98\x80");            // a pair: four
  const char16_t loneHigh[] = {u'a', 0xD83D, u'b', 0};
  const char16_t loneLow[] = {0xDE00, 0xD83D, 0};  // a low before a high, the high at the end
  EXPECT_EQ(utf16ToUtf8(loneHigh),
            "a\xef\xbf\xbd"
            "b");
  EXPECT_EQ(utf16ToUtf8(loneLow), "\xef\xbf\xbd\xef\xbf\xbd");
}

}  // namespace

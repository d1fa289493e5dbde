// The notice on POSIX: the caption in brackets and the text, written to
// standard error as one block.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/notice.h"

namespace {

TEST(SystemNoticeDeathTest, CaptionAndTextGoToStandardErrorAsOneBlock) {
  EXPECT_EXIT(
      {
        const int button = cadence::port::systemNotice().show(u"first line\nsecond \u00e9", u"Out of Memory", 0);
        std::exit(button == 1 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "^\\[Out of Memory\\]\nfirst line\nsecond \xC3\xA9\n$");
}

}  // namespace

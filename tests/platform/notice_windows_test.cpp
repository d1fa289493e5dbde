// The notice on Windows reaches MessageBoxW with no owner, the text, the
// caption and the style, and hands back its answer; a test hook stands in
// for the call, so no window opens. The out-of-memory notice takes the same
// way when no double replaces the notice.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/notice.h"
#include "platform/windows/message_box.h"
#include "report/out_of_memory_notice.h"
#include "tests/support/test_host.h"

namespace {

struct BoxCall {
  std::wstring text;
  std::wstring caption;
  unsigned int style;
};
std::vector<BoxCall> boxCalls;

int recordBox(const wchar_t* text, const wchar_t* caption, unsigned int style) {
  boxCalls.push_back({text, caption, style});
  return 7;  // any button: the notice passes it on
}

class MessageBoxNotice : public ::testing::Test {
 protected:
  void SetUp() override {
    boxCalls.clear();
    previous = cadence::port::setMessageBoxCall(recordBox);
  }
  void TearDown() override { cadence::port::setMessageBoxCall(previous); }
  cadence::port::MessageBoxCall previous = nullptr;
};

TEST_F(MessageBoxNotice, ReachesTheMessageBoxWithTextCaptionAndStyle) {
  EXPECT_EQ(cadence::port::systemNotice().show(u"two\nlines \u20ac", u"Caption", 0x40), 7);
  EXPECT_EQ(cadence::port::systemNotice().show(nullptr, nullptr, 0), 7);
  ASSERT_EQ(boxCalls.size(), 2u);
  EXPECT_EQ(boxCalls[0].text, L"two\nlines \u20ac");
  EXPECT_EQ(boxCalls[0].caption, L"Caption");
  EXPECT_EQ(boxCalls[0].style, 0x40u);
  EXPECT_EQ(boxCalls[1].text, L"");  // null texts are shown empty
  EXPECT_EQ(boxCalls[1].caption, L"");
}

TEST_F(MessageBoxNotice, TheOutOfMemoryNoticeShowsTheBox) {
  cadence::test::TestHost host;  // no data store: the box, not the error service
  cadence::test::ScopedHost scoped(&host);
  EXPECT_FALSE(cadence::report::showOutOfMemoryNotice(-4));
  ASSERT_EQ(boxCalls.size(), 1u);
  EXPECT_EQ(boxCalls[0].caption, L"Out of Memory");
  EXPECT_EQ(boxCalls[0].style, 0u);
  EXPECT_EQ(boxCalls[0].text.rfind(L"While running this function, you have run out of memory.\n", 0), 0u);
}

}  // namespace

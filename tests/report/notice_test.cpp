// The out-of-memory notice: error service or notice box, the reason codes
// that show it, and the rendering pause around it.
#include <stdexcept>

#include "cadencehost/vel_array.h"
#include "report/out_of_memory_notice.h"
#include "tests/report/report_fixture.h"

namespace {

using namespace cadence::report;

const std::u16string kNoticeText = cadence::test::u16(
    "While running this function, you have run out of memory.\n"
    "The application will close. After restarting, please read\n"
    "the online help about \"Memory Optimization\".");

class OutOfMemoryNotice : public cadence::test::ReportFixture {
 protected:
  void offerErrorService() { host.offer("IVelErrorService", static_cast<IVelErrorService*>(&errorService)); }
};

TEST_F(OutOfMemoryNotice, BoxWithCaptionAndStyleZeroBetweenSuspendAndResume) {
  offerErrorService();  // not asked for without the setting
  EXPECT_FALSE(showOutOfMemoryNotice(-4));
  ASSERT_EQ(notice.calls.size(), 1u);
  EXPECT_EQ(notice.calls[0].text, kNoticeText);
  EXPECT_EQ(notice.calls[0].caption, u"Out of Memory");
  EXPECT_EQ(notice.calls[0].style, 0u);
  EXPECT_EQ(events, (std::vector<std::string>{"suspend", "show", "resume"}));
  EXPECT_EQ(lookupsOf("IVelErrorService"), 0);
}

TEST_F(OutOfMemoryNotice, ErrorServiceWhenConfiguredAndNothingWhenItIsMissing) {
  store.bools["Memory/UseErrorService"] = 1;
  EXPECT_FALSE(showOutOfMemoryNotice(-4));
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(lookupsOf("IGfxRenderer"), 0);

  offerErrorService();
  EXPECT_FALSE(showOutOfMemoryNotice(-1));
  EXPECT_TRUE(notice.calls.empty());
  EXPECT_EQ(errorService.messages, std::vector<std::u16string>{kNoticeText});
  EXPECT_EQ(errorService.severities, std::vector<int32_t>{1});
  EXPECT_EQ(errorService.detailArrays[0], &velEmptyBlockArray());
  EXPECT_EQ(events, (std::vector<std::string>{"suspend", "report", "resume"}));
}

TEST_F(OutOfMemoryNotice, OnlyReasonCodesMinusFiveToMinusOneShowIt) {
  for (int32_t code : {0, -6, 1}) EXPECT_FALSE(showOutOfMemoryNotice(code)) << code;
  EXPECT_TRUE(events.empty());
  for (int32_t code : {-5, -1}) EXPECT_FALSE(showOutOfMemoryNotice(code)) << code;
  EXPECT_EQ(notice.calls.size(), 2u);
}

TEST_F(OutOfMemoryNotice, RenderingResumesWhenShowingThrows) {
  notice.onShow = [this] {
    events.push_back("show");
    throw std::runtime_error("box failed");
  };
  EXPECT_THROW(showOutOfMemoryNotice(-2), std::runtime_error);
  EXPECT_EQ(events, (std::vector<std::string>{"suspend", "show", "resume"}));
}

// No data store at all: the box, without asking for the error service.
TEST_F(OutOfMemoryNotice, WithoutDataStoreUsesTheBox) {
  host.withdraw("IDataStore");
  offerErrorService();
  EXPECT_FALSE(showOutOfMemoryNotice(-4));
  EXPECT_EQ(notice.calls.size(), 1u);
  EXPECT_EQ(lookupsOf("IVelErrorService"), 0);
}

}  // namespace

// The main of every test program: GoogleTest's own, with text taken for
// UTF-8 on every Qt (useUtf8Text), and one rule more. A
// failure outside any test (in a suite's SetUpTestSuite or TearDownTestSuite)
// ends the program at once with status 1: GoogleTest would go on to report
// that suite's tests as skipped, and CTest takes a test reported skipped for
// one that did not fail, whatever the status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "qt/qt_versions.h"

namespace {

class EndOnFailureOutsideATest : public ::testing::EmptyTestEventListener {
 public:
  // (Tracked here: asking GoogleTest for the current test from inside a
  // report would wait on the lock the report holds.)
  void OnTestStart(const ::testing::TestInfo&) override { inTest_ = true; }
  void OnTestEnd(const ::testing::TestInfo&) override { inTest_ = false; }
  void OnTestPartResult(const ::testing::TestPartResult& result) override {
    if (!result.failed() || inTest_) return;
    std::fprintf(stderr, "%s:%d: failure outside a test (a suite's set-up or tear-down): %s\n",
                 result.file_name() ? result.file_name() : "?", result.line_number(), result.message());
    std::fflush(nullptr);
    std::_Exit(1);
  }

 private:
  bool inTest_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  cadence::qt::useUtf8Text();
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new EndOnFailureOutsideATest);
  return RUN_ALL_TESTS();
}

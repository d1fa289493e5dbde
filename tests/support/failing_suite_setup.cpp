// A test program whose suite set-up fails: the shared main must end it with
// status 1 and say why, instead of reporting the suite's tests as skipped.
#include <gtest/gtest.h>

namespace {

struct SuiteWithFailingSetUp : ::testing::Test {
  static void SetUpTestSuite() { FAIL() << "the suite's set-up fails"; }
};

TEST_F(SuiteWithFailingSetUp, NeverRuns) {}

}  // namespace

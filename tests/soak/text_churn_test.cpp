// The soak's text churn: every round over names of every shape comes out as
// expected, names holding the same digits as the number among them; its
// counts add up.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/soak/text_churn.h"

namespace cadence::soak {
namespace {

TEST(TextChurn, EveryRoundReadsAsExpectedWhateverTheName) {
  TextChurn churn;
  std::mt19937 random(7);
  for (int round = 0; round < 2000; ++round) {
    // Names like the soak's, whose digits the round's number may repeat.
    const std::string name = round % 3 == 0 ? "soak-" + std::to_string(round % 300) : "t" + std::to_string(round);
    ASSERT_TRUE(churn.round(name, random)) << name << ": " << churn.problem();
  }
  for (const std::string odd : {"", "%1", "%2/%1", "100%", "a b"}) {
    EXPECT_TRUE(churn.round(odd, random)) << odd << ": " << churn.problem();
  }
  EXPECT_TRUE(churn.problem().empty());
  EXPECT_EQ(churn.translations(), 3 * 2005);
  EXPECT_GE(churn.textsMade(), 9 * 2005);
}

}  // namespace
}  // namespace cadence::soak

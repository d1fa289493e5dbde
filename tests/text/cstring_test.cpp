// VelCString: borrowing, the copy rule, equality and nameHash.
#include <gtest/gtest.h>

#include "cadencehost/vel_cstring.h"

namespace {

TEST(CStringCopy, BorrowedTextStaysSharedOwnedTextIsCopied) {
  const char* literal = "Service";
  VelCString borrowed(literal);
  VelCString copy(borrowed);
  EXPECT_EQ(copy.text, literal);
  EXPECT_EQ(copy.capacity, 0);

  VelCString owned = VelCString::copyOf("Service");
  ASSERT_GT(owned.capacity, 0);
  VelCString ownedCopy(owned);
  EXPECT_NE(ownedCopy.text, owned.text);
  EXPECT_GT(ownedCopy.capacity, 0);
  EXPECT_TRUE(ownedCopy == "Service");

  VelCString assigned;
  assigned = owned;
  EXPECT_NE(assigned.text, owned.text);
  EXPECT_TRUE(assigned == owned);
  assigned = borrowed;  // releases its block, then borrows
  EXPECT_EQ(assigned.text, literal);
  EXPECT_EQ(assigned.capacity, 0);

  VelCString nullCopy{VelCString()};
  EXPECT_EQ(nullCopy.text, nullptr);
}

TEST(CStringEquality, NullEmptyAndExactBytes) {
  VelCString null;
  VelCString empty("");
  EXPECT_TRUE(null == static_cast<const char*>(nullptr));
  EXPECT_FALSE(null == "");
  EXPECT_FALSE(empty == static_cast<const char*>(nullptr));
  EXPECT_TRUE(empty == "");
  EXPECT_FALSE(null == empty);
  VelCString name("ITimer");
  EXPECT_FALSE(name == "ITimerService");
  EXPECT_FALSE(name == "ITime");
  EXPECT_FALSE(name == "itimer");
  EXPECT_TRUE(name == VelCString::copyOf("ITimer"));
}

TEST(CStringHash, Djb2OverSignedBytes) {
  EXPECT_EQ(VelCString().nameHash(), 0u);
  EXPECT_EQ(VelCString("").nameHash(), 5381u);
  EXPECT_EQ(VelCString("a").nameHash(), 177670u);
  EXPECT_EQ(VelCString("ab").nameHash(), 177670u * 33 + 98);
  // 0xFF counts as -1: 5381 * 33 - 1.
  EXPECT_EQ(VelCString("\xFF").nameHash(), 177572u);
  // Wraps in 32 bits.
  uint32_t h = 5381;
  for (char c : std::string("IVelTranslatorService")) h = h * 33 + static_cast<uint32_t>(c);
  EXPECT_EQ(VelCString("IVelTranslatorService").nameHash(), h);
}

}  // namespace

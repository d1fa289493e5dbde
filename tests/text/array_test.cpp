// VelArray growth and element keeping.
#include <gtest/gtest.h>

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_cstring.h"

namespace {

TEST(ArrayGrowth, CapacityDoublesPastThePositionInUse) {
  VelArray<int32_t> a;
  EXPECT_EQ(a.capacity, 0);
  EXPECT_EQ(a.data, nullptr);
  a.push(10);
  EXPECT_EQ(a.capacity, 2);
  EXPECT_EQ(a.at(1), 10);
  const int32_t expected[] = {2, 4, 4, 8, 8, 8, 8, 16};
  for (int i = 2; i <= 8; ++i) {
    a.push(i * 10);
    EXPECT_EQ(a.capacity, expected[i - 1]) << "after push " << i;
  }
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(a.at(i), i * 10);
  EXPECT_GT(a.capacity, a.count);
}

TEST(ArrayGrowth, InitialCapacityAndLast) {
  VelArray<int32_t> list(21);
  EXPECT_EQ(list.capacity, 21);
  EXPECT_EQ(list.count, 0);
  for (int i = 0; i < 21; ++i) EXPECT_EQ(list.data[i], 0);
  VelArray<int32_t> empty;
  empty.last() = 7;  // count 0: grows and gives slot 0
  EXPECT_EQ(empty.capacity, 1);
  EXPECT_EQ(empty.count, 0);
  EXPECT_EQ(empty.data[0], 7);
}

TEST(ArrayGrowth, StringsSurviveEveryGrowthByTheCopyRule) {
  const char* literal = "borrowed";
  VelArray<VelCString> a;
  a.push(VelCString(literal));
  for (int i = 0; i < 4; ++i) a.push(VelCString::copyOf("owned"));
  EXPECT_EQ(a.capacity, 8);
  EXPECT_EQ(a.at(1).text, literal);  // still borrowed after three growths
  for (int i = 2; i <= 5; ++i) {
    EXPECT_TRUE(a.at(i) == "owned");
    EXPECT_GT(a.at(i).capacity, 0);
  }
  a.empty();
  EXPECT_EQ(a.count, 0);
  EXPECT_TRUE(a.data[2] == "owned");  // slots keep their contents
}

TEST(ArrayGrowth, PushingOwnElementAcrossGrowthIsSafe) {
  VelArray<VelCString> a;
  a.push(VelCString::copyOf("first"));  // capacity 2
  a.push(a.at(1));                      // position 2 grows: the source slot is replaced
  a.push(a.at(2));
  EXPECT_TRUE(a.at(2) == "first");
  EXPECT_TRUE(a.at(3) == "first");
}

}  // namespace

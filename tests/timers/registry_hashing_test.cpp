// The registry's own hashing arithmetic must give exactly what the framework
// defines: VelCString::nameHash for every text, and hash % buckets.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cadencehost/vel_cstring.h"
#include "core/primes.h"
#include "timers/registry_hashing.h"

namespace {

using Velmora::FastModulo;
using Velmora::registryNameHash;

TEST(RegistryHashing, NameHashMatchesNameHashForEveryLengthAndByte) {
  EXPECT_EQ(registryNameHash(nullptr), 0u);
  EXPECT_EQ(registryNameHash(""), 5381u);
  std::mt19937 random(7);
  for (int length = 0; length <= 40; ++length) {
    for (int round = 0; round < 50; ++round) {
      std::string text;
      for (int i = 0; i < length; ++i) {
        char c = static_cast<char>(random() % 255 + 1);  // any byte but NUL, high bytes included
        text.push_back(c);
      }
      ASSERT_EQ(registryNameHash(text.c_str()), VelCString::nameHashOf(text.c_str())) << length;
    }
  }
  EXPECT_EQ(registryNameHash("\xff"), VelCString::nameHashOf("\xff"));  // a negative byte
}

TEST(RegistryHashing, FastModuloEqualsTheRemainderForEveryTableSize) {
  std::mt19937 random(11);
  for (int k = 0; k < kVelPrimeCount; ++k) {
    const uint32_t d = kVelPrimes[k];
    const FastModulo mod(d);
    for (uint32_t a : {0u, 1u, d - 1, d, d + 1, 0x7fffffffu, 0x80000000u, 0xfffffffeu, 0xffffffffu}) {
      ASSERT_EQ(mod(a), a % d) << a << " % " << d;
    }
    for (int i = 0; i < 2000; ++i) {
      const uint32_t a = static_cast<uint32_t>(random());
      ASSERT_EQ(mod(a), a % d) << a << " % " << d;
    }
  }
  EXPECT_EQ(FastModulo(1)(12345u), 0u);
}

}  // namespace

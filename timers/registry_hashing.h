// The arithmetic of the timer registry's lookups, kept short on the hot path:
// the names' djb2 hash (the value VelCString::nameHash gives) computed four
// bytes per step, and the bucket index (hash modulo the bucket count) by
// multiplication instead of division.
#pragma once

#include <cstdint>

namespace Velmora {

// djb2 over the bytes taken as signed values: 5381 for "", 0 for null.
// Four bytes fold in at once as h * 33^4 + (c0 * 33^3 + c1 * 33^2 + c2 * 33 + c3),
// which shortens the chain of dependent steps without changing the value.
inline uint32_t registryNameHash(const char* s) {
  if (!s) return 0;
  auto byte = [](char c) { return static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c))); };
  constexpr uint32_t k33_2 = 33u * 33u;
  constexpr uint32_t k33_3 = k33_2 * 33u;
  constexpr uint32_t k33_4 = k33_3 * 33u;
  uint32_t h = 5381u;
  for (;;) {
    if (!s[0]) return h;
    if (!s[1]) return h * 33u + byte(s[0]);
    if (!s[2]) return h * k33_2 + byte(s[0]) * 33u + byte(s[1]);
    if (!s[3]) return h * k33_3 + byte(s[0]) * k33_2 + byte(s[1]) * 33u + byte(s[2]);
    h = h * k33_4 + (byte(s[0]) * k33_3 + byte(s[1]) * k33_2 + byte(s[2]) * 33u + byte(s[3]));
    s += 4;
  }
}

// a % d for 32-bit a and a fixed d > 0, by two multiplications (the method
// of Lemire, Kaser and Kurz); exact for every 32-bit a and d.
class FastModulo {
 public:
  explicit FastModulo(uint32_t d) : divisor_(d), magic_(UINT64_MAX / d + 1) {}
  uint32_t operator()(uint32_t a) const {
    const uint64_t low = magic_ * a;
    return static_cast<uint32_t>((static_cast<unsigned __int128>(low) * divisor_) >> 64);
  }
  uint32_t divisor() const { return divisor_; }

 private:
  uint32_t divisor_;
  uint64_t magic_;
};

}  // namespace Velmora

// The unit-level helpers VelString's operations share: measuring a text,
// one scanner for the first zero or stop unit, and pooled blocks of units.
// They sit on the substitution's hot path and are forced inline where the
// compiler allows it.
#pragma once

#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "cadencehost/vel_string.h"
#include "memory/pool.h"
#include "memory/xal_alloc.h"

#if defined(__GNUC__)
#define VEL_STRING_HOT inline __attribute__((always_inline))
#else
#define VEL_STRING_HOT inline
#endif

namespace cadence::text {

inline constexpr int32_t kUnit = static_cast<int32_t>(sizeof(char16_t));

// The most units a text can hold: its block, terminator included, must fit
// the 32-bit capacity of a block reference.
inline constexpr int64_t kMaxUnits = INT32_MAX / kUnit - 1;

// A text length measured or computed in 64 bits, as one of the framework's
// 32-bit lengths. A text too long for them goes the out-of-memory way, with
// the size its block would need; it never wraps to a smaller length.
inline int32_t checkedUnits(int64_t units) {
  if (units > kMaxUnits) [[unlikely]] xalOutOfMemory((units + 1) * kUnit);
  return static_cast<int32_t>(units);
}

// Units before the terminator (a null text has none).
inline int32_t unitsOf(const char16_t* s) {
  if (!s) return 0;
  const char16_t* p = s;
  while (*p) ++p;
  return checkedUnits(p - s);
}

// Index of the first unit in [from, limit) that is zero or kStop, else limit
// (kStop 0: the first zero). Reads only within [0, limit), several units at
// a time: a last group that would run past `limit` is read ending at `limit`
// instead, its lanes below `from` left out.
template <char16_t kStop>
VEL_STRING_HOT int32_t scanUnits(const char16_t* s, int32_t from, int32_t limit) {
  int32_t i = from;
#if defined(__SSE2__) || defined(_M_X64)
  if (limit >= 8) {
    auto hits = [s](int32_t at) {
      const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
      __m128i hit = _mm_cmpeq_epi16(w, _mm_setzero_si128());
      if constexpr (kStop != 0) hit = _mm_or_si128(hit, _mm_cmpeq_epi16(w, _mm_set1_epi16(static_cast<short>(kStop))));
      return static_cast<unsigned>(_mm_movemask_epi8(hit));  // bit 2j: unit j
    };
    for (; i + 8 <= limit; i += 8) {
      if (const unsigned m = hits(i)) return i + (std::countr_zero(m) >> 1);
    }
    if (i < limit) {
      const int32_t tail = limit - 8;
      // Lanes below i were looked at already; below `from` they are left out.
      const unsigned m = tail < from ? hits(tail) >> ((from - tail) * 2) : hits(tail);
      if (m) return (tail < from ? from : tail) + (std::countr_zero(m) >> 1);
    }
    return limit;
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    // Four units at a time; the lowest flagged lane is always a true hit
    // (higher ones may be flagged by a borrow).
    constexpr uint64_t kOnes = 0x0001000100010001ull;
    constexpr uint64_t kHighs = 0x8000800080008000ull;
    for (; i + 4 <= limit; i += 4) {
      uint64_t w;
      std::memcpy(&w, s + i, sizeof w);
      uint64_t m = (w - kOnes) & ~w & kHighs;
      if constexpr (kStop != 0) {
        const uint64_t x = w ^ (kOnes * kStop);
        m |= (x - kOnes) & ~x & kHighs;
      }
      if (m) return i + (std::countr_zero(m) >> 4);
    }
  }
  for (; i < limit; ++i)
    if (s[i] == 0 || s[i] == kStop) return i;
  return limit;
}

// A pooled block for `units` units plus the terminator (sized in 64 bits, so
// a sum of lengths never wraps into a smaller block).
inline char16_t* allocateUnits(int64_t units, int32_t* capacity) {
  return static_cast<char16_t*>(poolAllocateBytes(static_cast<uint64_t>(checkedUnits(units) + 1) * kUnit, capacity));
}

}  // namespace cadence::text

// Releases the current text block and installs `block` (owned). Defined here
// so the substitution, in a file of its own, inlines it as the string does.
inline void VelString::installText(char16_t* block, int32_t capacity) {
  poolFreeTyped(&textCapacity, &text);
  text = block;
  textCapacity = capacity;
}

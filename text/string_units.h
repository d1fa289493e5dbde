// The unit-level helpers VelString's operations share: measuring a text
// (to its terminator, or within its block) and pooled blocks of units.
#pragma once

#include <climits>
#include <cstdint>

#include "cadencehost/vel_string.h"
#include "memory/pool.h"
#include "memory/xal_alloc.h"

namespace cadence::text {

inline constexpr int32_t kUnit = static_cast<int32_t>(sizeof(char16_t));

// The most units a text can hold: its block, terminator included, must fit
// the 32-bit capacity of a block reference.
inline constexpr int64_t kMaxUnits = INT32_MAX / kUnit - 1;

// A text length measured or computed in 64 bits, as one of the framework's
// 32-bit lengths. A text too long for them goes the out-of-memory way, with
// the size its block would need; it never wraps to a smaller length.
inline int32_t checkedUnits(int64_t units) {
  if (units > kMaxUnits) [[unlikely]]
    velOutOfMemory((units + 1) * kUnit);
  return static_cast<int32_t>(units);
}

// Units before the terminator (a null text has none).
inline int32_t unitsOf(const char16_t* s) {
  if (!s) return 0;
  const char16_t* p = s;
  while (*p) ++p;
  return checkedUnits(p - s);
}

// Units of a string before its terminator, reading an owned text only within
// its block (a block without one counts whole), a borrowed one to its end.
inline int32_t lengthOf(const VelString& s) {
  if (s.textCapacity <= 0 || !s.text) return unitsOf(s.text);
  const int32_t limit = s.textCapacity / kUnit;
  int32_t i = 0;
  while (i < limit && s.text[i]) ++i;
  return i;
}

// A pooled block for `units` units plus the terminator (sized in 64 bits, so
// a sum of lengths never wraps into a smaller block).
inline char16_t* allocateUnits(int64_t units, int32_t* capacity) {
  return static_cast<char16_t*>(poolAllocateBytes(static_cast<uint64_t>(checkedUnits(units) + 1) * kUnit, capacity));
}

}  // namespace cadence::text

// Releases the current text block and installs `block` (owned). Defined here
// so the substitution, in a file of its own, shares it with the string.
inline void VelString::installText(char16_t* block, int32_t capacity) {
  poolFreeTyped(&textCapacity, &text);
  text = block;
  textCapacity = capacity;
}

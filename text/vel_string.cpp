// VelString: the UTF-16 text string. Every owned block comes from the pool
// (poolAllocate) and goes back through poolFree with the capacity the pool
// reported. Operations that build new text allocate the new block before the
// old one is released, so a string may always read its own text. The
// placeholder substitution is in substitute_args.cpp.
#include "cadencehost/vel_string.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "memory/pool.h"
#include "text/string_units.h"

using cadence::text::allocateUnits;
using cadence::text::checkedUnits;
using cadence::text::kUnit;
using cadence::text::unitsOf;

namespace {

// True when `p` points into the block that `owner` owns.
bool pointsInto(const char16_t* p, const char16_t* block, int32_t capacityBytes) {
  if (!p || !block || capacityBytes <= 0) return false;
  const std::less_equal<const char16_t*> le;
  const std::less<const char16_t*> lt;
  return le(block, p) && lt(p, block + capacityBytes / kUnit);
}

}  // namespace

VelString::VelString(const char* narrow) : VelString() { assignNarrow(narrow); }

VelString::VelString(char c) : VelString() {
  const char text2[2] = {c, '\0'};
  assignNarrow(text2);
}

VelString::VelString(const VelString& other) : VelString() {
  if (other.ownsText()) {
    copyUnits(other.text, other.length());
  } else {
    text = other.text;  // borrowed text stays shared, null stays null
  }
  if (other.aux1Capacity == 0) aux1 = other.aux1;  // only a borrowed aux1 is carried over
}

VelString::VelString(VelString&& other) noexcept
    : text(other.text),
      textCapacity(other.textCapacity),
      aux1(other.aux1),
      aux1Capacity(other.aux1Capacity),
      aux2(other.aux2),
      aux2Capacity(other.aux2Capacity) {
  other.text = nullptr;
  other.textCapacity = 0;
  other.aux1 = nullptr;
  other.aux1Capacity = 0;
  other.aux2 = nullptr;
  other.aux2Capacity = 0;
}

VelString& VelString::operator=(const VelString& other) {
  if (this == &other) return *this;
  if (other.ownsText()) {
    copyUnits(other.text, other.length());
  } else {
    assign(other.text, kBorrow);
  }
  return *this;
}

VelString& VelString::operator=(VelString&& other) noexcept {
  if (this == &other) return *this;
  clear();
  std::swap(text, other.text);
  std::swap(textCapacity, other.textCapacity);
  std::swap(aux1, other.aux1);
  std::swap(aux1Capacity, other.aux1Capacity);
  std::swap(aux2, other.aux2);
  std::swap(aux2Capacity, other.aux2Capacity);
  return *this;
}

VelString::~VelString() { clear(); }

void VelString::clear() {
  poolFree(&aux1Capacity, &aux1);
  poolFree(&aux2Capacity, &aux2);
  poolFreeTyped(&textCapacity, &text);
  aux1 = nullptr;
  aux1Capacity = 0;
  aux2 = nullptr;
  aux2Capacity = 0;
  text = nullptr;
  textCapacity = 0;
}

void VelString::copyUnits(const char16_t* source, int64_t units) {
  if (units < 0) units = 0;
  int32_t capacity = 0;
  char16_t* block = allocateUnits(units, &capacity);
  if (units > 0) std::memcpy(block, source, static_cast<size_t>(units) * kUnit);
  block[units] = 0;
  installText(block, capacity);  // the source may lie in the old block: released only now
}

void VelString::assign(const char16_t* source, uint32_t length) {
  if (!source) {
    poolFreeTyped(&textCapacity, &text);
    return;
  }
  if (length == kBorrow) {
    // Borrowing our own block would leave a dangling pointer once it is
    // released; keep the text as an owned copy instead.
    if (pointsInto(source, text, textCapacity)) {
      if (source != text) copyUnits(source, unitsOf(source));
      return;
    }
    poolFreeTyped(&textCapacity, &text);
    text = const_cast<char16_t*>(source);
    return;
  }
  copyUnits(source, length == kMeasure ? int64_t{unitsOf(source)} : int64_t{length});
}

void VelString::assignNarrow(const char* narrow) {
  if (!narrow) {
    poolFreeTyped(&textCapacity, &text);
    return;
  }
  const int32_t units = checkedUnits(static_cast<int64_t>(std::strlen(narrow)));
  int32_t capacity = 0;
  char16_t* block = allocateUnits(units, &capacity);
  const auto* bytes = reinterpret_cast<const unsigned char*>(narrow);
  for (int32_t i = 0; i <= units; ++i) block[i] = static_cast<char16_t>(bytes[i]);  // zero-extended
  installText(block, capacity);
}

int32_t VelString::length() const {
  // An owned text is measured within its block, never past it.
  return cadence::text::lengthOf(*this);
}

void VelString::append(const VelString& other) {
  const int32_t a = length();
  const int32_t b = other.length();
  const int64_t need = (int64_t{a} + b + 1) * kUnit;  // two lengths may not fit 32 bits together
  if (textCapacity >= need) {
    // In place; other's text (even our own) ends at or before unit a.
    if (b > 0) std::memmove(text + a, other.text, static_cast<size_t>(b) * kUnit);
    text[a + b] = 0;
    return;
  }
  int32_t capacity = 0;
  char16_t* block = allocateUnits(int64_t{a} + b, &capacity);
  if (a > 0) std::memcpy(block, text, static_cast<size_t>(a) * kUnit);
  if (b > 0) std::memcpy(block + a, other.text, static_cast<size_t>(b) * kUnit);
  block[a + b] = 0;
  installText(block, capacity);
}

int32_t VelString::find(const VelString& needle, int32_t start) const {
  const int32_t n = needle.length();
  const int32_t m = length();
  if (n > m) return -1;
  if (n == 0) return 0;
  if (start < 0 || start >= m || start > m - n) return -1;
  const char16_t first = needle.text[0];
  for (int32_t i = start; i <= m - n; ++i) {
    if (text[i] != first) continue;
    if (std::memcmp(text + i + 1, needle.text + 1, static_cast<size_t>(n - 1) * kUnit) == 0) return i;
  }
  return -1;
}

VelString VelString::left(int32_t n) const {
  if (n < 0) n = 0;
  if (length() <= n) return VelString(*this);
  VelString result;
  result.copyUnits(text, n);
  return result;
}

void VelString::erase(int32_t position, int32_t count) {
  // Only the part of [position, position + count) that lies in the text goes.
  const int32_t m = length();
  const int64_t end = std::clamp<int64_t>(int64_t{position} + count, 0, m);
  position = std::clamp(position, 0, m);
  if (end <= position) return;
  count = static_cast<int32_t>(end) - position;
  // Built in a fresh block: a borrowed text is never written through.
  int32_t capacity = 0;
  char16_t* block = allocateUnits(m - count, &capacity);
  std::memcpy(block, text, static_cast<size_t>(position) * kUnit);
  std::memcpy(block + position, text + position + count, static_cast<size_t>(m - position - count) * kUnit);
  block[m - count] = 0;
  installText(block, capacity);
}

VelString VelString::replace(int32_t start, int32_t end, const VelString& with) const {
  const int32_t m = length();
  if (start < 0) start = 0;
  if (start > m) start = m;
  if (end < start) end = start;
  if (end > m) end = m;
  const int32_t w = with.length();
  const int64_t units = int64_t{m} - (end - start) + w;
  VelString result;
  int32_t capacity = 0;
  char16_t* block = allocateUnits(units, &capacity);
  if (start > 0) std::memcpy(block, text, static_cast<size_t>(start) * kUnit);
  if (w > 0) std::memcpy(block + start, with.text, static_cast<size_t>(w) * kUnit);
  if (m > end) std::memcpy(block + start + w, text + end, static_cast<size_t>(m - end) * kUnit);
  block[units] = 0;
  result.text = block;
  result.textCapacity = capacity;
  return result;
}

bool VelString::sameText(const char16_t* other) const {
  const char16_t* a = text ? text : u"";
  const char16_t* b = other ? other : u"";
  while (*a && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

bool VelString::sameText(const VelString& other) const { return sameText(other.text); }

// VelString: the UTF-16 text string. Every owned block comes from the pool
// (poolAllocate) and goes back through poolFree with the capacity the pool
// reported. Operations that build new text allocate the new block before the
// old one is released, so a string may always read its own text.
#include "cadencehost/vel_string.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <functional>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "memory/pool.h"

// The copy and scan helpers below sit on the substitution's hot path; they
// are forced inline where the compiler allows it.
#if defined(__GNUC__)
#define VEL_STRING_HOT inline __attribute__((always_inline))
#else
#define VEL_STRING_HOT inline
#endif

namespace {

constexpr int32_t kUnit = static_cast<int32_t>(sizeof(char16_t));

int32_t unitsOf(const char16_t* s) {
  if (!s) return 0;
  const char16_t* p = s;
  while (*p) ++p;
  return static_cast<int32_t>(p - s);
}

#if defined(__SSE2__) || defined(_M_X64)
// Bit 2j set for each unit j of the eight at `s` that is zero or `stop`.
inline unsigned hits8(const char16_t* s, __m128i stops) {
  const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  const __m128i hit = _mm_or_si128(_mm_cmpeq_epi16(w, _mm_setzero_si128()), _mm_cmpeq_epi16(w, stops));
  return static_cast<unsigned>(_mm_movemask_epi8(hit));
}
#endif

// Bit 16j set for the lowest unit j of the four at `s` that is zero or `stop`
// (the lowest flagged lane is always a true hit; higher ones may not be).
inline uint64_t hits4(const char16_t* s, uint64_t stops) {
  constexpr uint64_t kOnes = 0x0001000100010001ull;
  constexpr uint64_t kHighs = 0x8000800080008000ull;
  uint64_t w;
  std::memcpy(&w, s, sizeof w);
  const uint64_t x = w ^ stops;
  return ((w - kOnes) & ~w & kHighs) | ((x - kOnes) & ~x & kHighs);
}

// Index of the first unit in [from, limit) that is zero or `stop`, else limit.
// Reads only within [from, limit), several units at a time; the last group
// overlaps the one before it rather than ending unit by unit.
inline int32_t scanTo(const char16_t* s, int32_t from, int32_t limit, char16_t stop) {
  int32_t i = from;
#if defined(__SSE2__) || defined(_M_X64)
  if (limit - i >= 8) {
    const __m128i stops = _mm_set1_epi16(static_cast<short>(stop));
    for (; i + 8 <= limit; i += 8) {
      if (const unsigned m = hits8(s + i, stops)) return i + (std::countr_zero(m) >> 1);
    }
    if (i < limit) {
      const int32_t tail = limit - 8;  // units below i in it were clean already
      if (const unsigned m = hits8(s + tail, stops)) return tail + (std::countr_zero(m) >> 1);
    }
    return limit;
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    if (limit - i >= 4) {
      const uint64_t stops = 0x0001000100010001ull * stop;
      for (; i + 4 <= limit; i += 4) {
        if (const uint64_t m = hits4(s + i, stops)) return i + (std::countr_zero(m) >> 4);
      }
      if (i < limit) {
        const int32_t tail = limit - 4;
        if (const uint64_t m = hits4(s + tail, stops)) return tail + (std::countr_zero(m) >> 4);
      }
      return limit;
    }
  }
  for (; i < limit; ++i)
    if (s[i] == 0 || s[i] == stop) return i;
  return limit;
}

// Copies `n` units into a block that does not overlap the source. Runs of up
// to 32 units (the usual gap between placeholders, the usual argument) use
// two overlapping fixed-size moves; longer ones memcpy.
VEL_STRING_HOT char16_t* putUnits(char16_t* out, const char16_t* from, int32_t n) {
  const size_t bytes = static_cast<size_t>(n) * kUnit;
  auto headAndTail = [&](auto chunk) {
    constexpr size_t kBytes = sizeof(chunk);
    decltype(chunk) head, last;
    std::memcpy(&head, from, kBytes);
    std::memcpy(&last, reinterpret_cast<const char*>(from) + bytes - kBytes, kBytes);
    std::memcpy(out, &head, kBytes);
    std::memcpy(reinterpret_cast<char*>(out) + bytes - kBytes, &last, kBytes);
  };
  struct Sixteen {
    uint64_t a, b;
  };
  struct ThirtyTwo {
    Sixteen a, b;
  };
  if (n >= 8) {
    if (n <= 16) {
      headAndTail(Sixteen{});
    } else if (n <= 32) {
      headAndTail(ThirtyTwo{});
    } else {
      std::memcpy(out, from, bytes);
    }
  } else if (n >= 4) {
    headAndTail(uint64_t{});
  } else if (n >= 2) {
    headAndTail(uint32_t{});
  } else if (n == 1) {
    *out = *from;
  }
  return out + n;
}

// A pooled block for `units` units plus the terminator.
char16_t* allocateUnits(int32_t units, int32_t* capacity) {
  return static_cast<char16_t*>(poolAllocate((units + 1) * kUnit, capacity));
}

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

void VelString::installText(char16_t* block, int32_t capacity) {
  poolFreeTyped(&textCapacity, &text);
  text = block;
  textCapacity = capacity;
}

void VelString::copyUnits(const char16_t* source, int32_t units) {
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
  const int32_t units = length == kMeasure ? unitsOf(source) : static_cast<int32_t>(length);
  copyUnits(source, units);
}

void VelString::assignNarrow(const char* narrow) {
  if (!narrow) {
    poolFreeTyped(&textCapacity, &text);
    return;
  }
  const int32_t units = static_cast<int32_t>(std::strlen(narrow));
  int32_t capacity = 0;
  char16_t* block = allocateUnits(units, &capacity);
  const auto* bytes = reinterpret_cast<const unsigned char*>(narrow);
  for (int32_t i = 0; i <= units; ++i) block[i] = static_cast<char16_t>(bytes[i]);  // zero-extended
  installText(block, capacity);
}

int32_t VelString::length() const {
  // An owned text is measured within its block, never past it.
  if (textCapacity > 0 && text) return scanTo(text, 0, textCapacity / kUnit, 0);
  return unitsOf(text);
}

void VelString::append(const VelString& other) {
  const int32_t a = length();
  const int32_t b = other.length();
  const int32_t need = (a + b + 1) * kUnit;
  if (textCapacity >= need) {
    // In place; other's text (even our own) ends at or before unit a.
    if (b > 0) std::memmove(text + a, other.text, static_cast<size_t>(b) * kUnit);
    text[a + b] = 0;
    return;
  }
  int32_t capacity = 0;
  auto* block = static_cast<char16_t*>(poolAllocate(need, &capacity));
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
  std::memcpy(block + position, text + position + count,
              static_cast<size_t>(m - position - count) * kUnit);
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
  const int32_t units = m - (end - start) + w;
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

namespace {

bool isPlaceholderDigit(char16_t c) { return c >= u'1' && c <= u':'; }

// Units before the first zero among the `limit` units at `s`, else limit: the
// length of an owned text, measured within its block (zero is the only stop).
VEL_STRING_HOT int32_t unitsWithin(const char16_t* s, int32_t limit) {
  int32_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
  if (limit >= 8) {
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= limit; i += 8) {
      const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      if (const unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(w, zero))))
        return i + (std::countr_zero(m) >> 1);
    }
    if (i < limit) {
      const int32_t tail = limit - 8;
      const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + tail));
      if (const unsigned m = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(w, zero))))
        return tail + (std::countr_zero(m) >> 1);
    }
    return limit;
  }
#endif
  if constexpr (std::endian::native == std::endian::little) {
    if (limit >= 4) {
      constexpr uint64_t kOnes = 0x0001000100010001ull;
      constexpr uint64_t kHighs = 0x8000800080008000ull;
      uint64_t w;
      for (; i + 4 <= limit; i += 4) {
        std::memcpy(&w, s + i, sizeof w);
        if (const uint64_t m = (w - kOnes) & ~w & kHighs) return i + (std::countr_zero(m) >> 4);
      }
      if (i < limit) {
        const int32_t tail = limit - 4;
        std::memcpy(&w, s + tail, sizeof w);
        if (const uint64_t m = (w - kOnes) & ~w & kHighs) return tail + (std::countr_zero(m) >> 4);
      }
      return limit;
    }
  }
  for (; i < limit; ++i)
    if (!s[i]) return i;
  return limit;
}

#if defined(__SSE2__) || defined(_M_X64)
// scanTo for a text of at least eight units, with the stop already spread
// over a vector: the first unit in [from, limit) that is zero or the stop.
inline int32_t scanWide(const char16_t* s, int32_t from, int32_t limit, __m128i stops) {
  int32_t i = from;
  for (; i + 8 <= limit; i += 8) {
    if (const unsigned m = hits8(s + i, stops)) return i + (std::countr_zero(m) >> 1);
  }
  if (i < limit) {
    // The last eight units; the lanes below i are not looked at again.
    const int32_t tail = limit - 8;
    if (const unsigned m = hits8(s + tail, stops) >> ((i - tail) * 2)) return i + (std::countr_zero(m) >> 1);
  }
  return limit;
}
#endif

#if defined(__SSE2__) || defined(_M_X64)
// Bit j of each mask describes unit j of a text of 16 to 64 units: a zero, a
// '%', a placeholder digit ('1'..'9', ':'). Units are narrowed with signed
// saturation first, which maps every unit above U+007F to 0x7F or 0x80, so
// only the true ASCII units can match. Groups of sixteen are read within the
// text only; the last one ends at the text's end.
struct UnitMasks {
  uint64_t zeros;
  uint64_t percents;
  uint64_t digits;
};

VEL_STRING_HOT UnitMasks unitMasks(const char16_t* s, int32_t limit) {
  const __m128i percent = _mm_set1_epi8('%');
  const __m128i belowDigits = _mm_set1_epi8('1' - 1);
  const __m128i aboveDigits = _mm_set1_epi8(':' + 1);
  const __m128i zero = _mm_setzero_si128();
  UnitMasks masks{0, 0, 0};
  // The last group may start less than 16 units after the one before it;
  // the units both read set the same bits twice.
  auto addGroup = [&](int32_t at) {
    const __m128i bytes = _mm_packs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at + 8)));
    auto bitsOf = [at](__m128i hits) { return uint64_t{static_cast<unsigned>(_mm_movemask_epi8(hits))} << at; };
    masks.zeros |= bitsOf(_mm_cmpeq_epi8(bytes, zero));
    masks.percents |= bitsOf(_mm_cmpeq_epi8(bytes, percent));
    masks.digits |= bitsOf(_mm_and_si128(_mm_cmpgt_epi8(bytes, belowDigits), _mm_cmplt_epi8(bytes, aboveDigits)));
  };
  addGroup(0);
  for (int32_t base = 16; base < limit; base += 16) addGroup(std::min(base, limit - 16));
  return masks;
}

// The positions of the placeholders' '%' in a text of 16 to 64 units, as
// bits, and the scanned length. Without two '%' in a row every '%' starts a
// pair, so a placeholder is a '%' with a digit after it; a run of '%' is
// walked in order, each '%' consuming the unit after it.
VEL_STRING_HOT uint64_t placeholderBits(const char16_t* s, int32_t limit, int32_t* scanned) {
  UnitMasks masks = unitMasks(s, limit);
  *scanned = limit;
  if (masks.zeros) {
    *scanned = std::countr_zero(masks.zeros);
    const uint64_t before = (uint64_t{1} << *scanned) - 1;
    masks.percents &= before;
    masks.digits &= before;
  }
  if (!(masks.percents & (masks.percents >> 1))) [[likely]]
    return masks.percents & (masks.digits >> 1);
  uint64_t found = 0;
  for (uint64_t rest = masks.percents; rest;) {
    const int at = std::countr_zero(rest);
    if (at + 1 >= *scanned) break;  // the last unit: plain text
    found |= ((masks.digits >> (at + 1)) & 1) << at;
    rest &= rest - 1;
    rest &= ~(uint64_t{1} << (at + 1));
  }
  return found;
}
#endif

// The length of one argument, measured as length() does (a null text is empty).
VEL_STRING_HOT int32_t argumentUnits(const VelString& arg) {
  if (arg.textCapacity > 0 && arg.text) return unitsWithin(arg.text, arg.textCapacity / kUnit);
  return unitsOf(arg.text);
}

// One placeholder found in the text: where its '%' is, and what replaces it.
struct Occurrence {
  int32_t at;
  int32_t length;
  const char16_t* text;
};

// How a text is searched for placeholders: a text of 16 to 64 units through
// bit masks, any other one group by group.
enum class Scan { kMasks, kGroups };

// The substituted text of the `limit` units at `source` in a new block, or
// null when it has no placeholder. Instantiated once per way of scanning, so
// the usual short message runs through code made for it alone.
template <Scan kScan>
VEL_STRING_HOT char16_t* substituted(const char16_t* source, int32_t limit, const VelString* const* args, int32_t* capacity) {
  // The list ends at its first null entry; later placeholders are empty.
  int usable = 0;
  if (args)
    while (usable < 10 && args[usable]) ++usable;
  // Each argument is measured once, on its first use (bit k of `measured`).
  const char16_t* argText[10];
  int32_t argLength[10];
  unsigned measured = 0;

  // Pass 1: the scanned length, the result length (per occurrence, so a
  // repeated number counts each time) and the placeholders, up to kRemembered
  // of them; a text with more is scanned again while building. (kMasks
  // keeps them as bits instead.)
  constexpr int kRemembered = 16;
  Occurrence found[kRemembered];
  int occurrences = 0;
  int32_t scanned = 0;
  int64_t resultUnits = 0;
  auto note = [&](int32_t at, int k) {
    if (!(measured & (1u << k))) {
      measured |= 1u << k;
      if (k < usable) {
        argText[k] = args[k]->text;
        argLength[k] = argumentUnits(*args[k]);
      } else {
        argText[k] = nullptr;
        argLength[k] = 0;
      }
    }
    resultUnits += argLength[k] - 2;
    if (kScan != Scan::kMasks && occurrences < kRemembered) found[occurrences] = {at, argLength[k], argText[k]};
    ++occurrences;
  };
  [[maybe_unused]] uint64_t placeholders = 0;  // kMasks: the placeholders' '%' as bits
#if defined(__SSE2__) || defined(_M_X64)
  if constexpr (kScan == Scan::kMasks) {
    placeholders = placeholderBits(source, limit, &scanned);
    for (uint64_t bits = placeholders; bits; bits &= bits - 1) {
      const int32_t at = std::countr_zero(bits);
      note(at, source[at + 1] - u'1');
    }
  } else
#endif
  {
    for (;;) {
#if defined(__SSE2__) || defined(_M_X64)
      scanned = limit >= 8 ? scanWide(source, scanned, limit, _mm_set1_epi16(u'%')) : scanTo(source, scanned, limit, u'%');
#else
      scanned = scanTo(source, scanned, limit, u'%');
#endif
      if (scanned >= limit || !source[scanned]) break;
      // A '%' with a unit after it: a placeholder, or two units of plain text.
      // As the last unit it is plain text.
      if (scanned + 1 < limit && source[scanned + 1]) {
        const char16_t next = source[scanned + 1];
        if (isPlaceholderDigit(next)) note(scanned, next - u'1');
        scanned += 2;
      } else {
        scanned += 1;
      }
    }
  }
  if (occurrences == 0) return nullptr;
  resultUnits += scanned;

  // Pass 2: one block for the whole result.
  char16_t* block = allocateUnits(static_cast<int32_t>(resultUnits), capacity);
  char16_t* out = block;
  int32_t from = 0;  // start of the plain run not yet copied
  if constexpr (kScan == Scan::kMasks) {
    for (uint64_t bits = placeholders; bits; bits &= bits - 1) {
      const int32_t at = std::countr_zero(bits);
      const int k = source[at + 1] - u'1';
      out = putUnits(out, source + from, at - from);
      out = putUnits(out, argText[k], argLength[k]);
      from = at + 2;
    }
  } else if (occurrences <= kRemembered) [[likely]] {
    for (int i = 0; i < occurrences; ++i) {
      out = putUnits(out, source + from, found[i].at - from);
      out = putUnits(out, found[i].text, found[i].length);
      from = found[i].at + 2;
    }
  } else {
    // Every placeholder was measured in pass 1.
    for (int32_t i = 0; i < scanned;) {
      if (source[i] != u'%' || i + 1 >= scanned) {
        ++i;
        continue;
      }
      if (isPlaceholderDigit(source[i + 1])) {
        const int k = source[i + 1] - u'1';
        out = putUnits(out, source + from, i - from);
        out = putUnits(out, argText[k], argLength[k]);
        from = i + 2;
      }
      i += 2;
    }
  }
  out = putUnits(out, source + from, scanned - from);
  *out = 0;
  return block;
}

// Longer or very short texts: kept out of the common path's code.
#if defined(__GNUC__)
[[gnu::noinline]]
#endif
char16_t* substitutedByGroups(const char16_t* source, int32_t limit, const VelString* const* args, int32_t* capacity) {
  return substituted<Scan::kGroups>(source, limit, args, capacity);
}

}  // namespace

void VelString::substituteArgs(const VelString* const* args) {
  if (textCapacity < 2 || !text) return;
  const int32_t limit = textCapacity / kUnit;
  int32_t capacity = 0;
#if defined(__SSE2__) || defined(_M_X64)
  char16_t* block = limit >= 16 && limit <= 64 ? substituted<Scan::kMasks>(text, limit, args, &capacity)
                                               : substitutedByGroups(text, limit, args, &capacity);
#else
  char16_t* block = substitutedByGroups(text, limit, args, &capacity);
#endif
  if (block) installText(block, capacity);  // the arguments may lie in the old block
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

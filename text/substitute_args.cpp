// VelString::substituteArgs: '%1'..'%9' and '%:' replaced by the argument
// texts in one new block. A text of 16 to 64 units (most messages) is read
// through bit masks; any other one group by group, with the same rules.
#include <algorithm>
#include <bit>
#include <cstring>

#include "cadencehost/vel_string.h"
#include "text/string_units.h"

using cadence::text::allocateUnits;
using cadence::text::kUnit;
using cadence::text::scanUnits;
using cadence::text::unitsOf;

namespace {

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

bool isPlaceholderDigit(char16_t c) { return c >= u'1' && c <= u':'; }

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
  if (arg.textCapacity > 0 && arg.text) return scanUnits<0>(arg.text, 0, arg.textCapacity / kUnit);
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
      scanned = scanUnits<u'%'>(source, scanned, limit);
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

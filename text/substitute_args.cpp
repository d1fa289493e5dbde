// VelString::substituteArgs: '%1'..'%9' and '%:' replaced by the argument
// texts, in one new block: one pass to measure, one to build.
#include <cstring>

#include "cadencehost/vel_string.h"
#include "text/string_units.h"

namespace {

using cadence::text::kUnit;

bool isPlaceholderDigit(char16_t c) { return c >= u'1' && c <= u':'; }

// Calls found(at, k) for each placeholder of the text (its '%' at `at`,
// argument k), reading at most `limit` units and stopping at a zero; returns
// the units read. A '%' takes the unit after it along, a placeholder or two
// units of plain text ("%%1" is plain); as the last unit it is plain text.
template <class Found>
int32_t scanPlaceholders(const char16_t* s, int32_t limit, Found&& found) {
  int32_t i = 0;
  while (i < limit && s[i]) {
    if (s[i] != u'%') {
      ++i;
    } else if (i + 1 < limit && s[i + 1]) {
      if (isPlaceholderDigit(s[i + 1])) found(i, s[i + 1] - u'1');
      i += 2;
    } else {
      ++i;
    }
  }
  return i;
}

}  // namespace

void VelString::substituteArgs(const VelString* const* args) {
  if (textCapacity < 2 || !text) return;
  const int32_t limit = textCapacity / kUnit;
  // The list ends at its first null entry; later placeholders are empty.
  int usable = 0;
  if (args)
    while (usable < 10 && args[usable]) ++usable;
  auto argumentUnits = [&](int k) { return k < usable ? cadence::text::lengthOf(*args[k]) : 0; };

  int64_t resultUnits = 0;
  int placeholders = 0;
  const int32_t scanned = scanPlaceholders(text, limit, [&](int32_t, int k) {
    resultUnits += argumentUnits(k) - 2;  // each occurrence, a repeated number too
    ++placeholders;
  });
  if (placeholders == 0) return;
  resultUnits += scanned;

  int32_t capacity = 0;
  char16_t* block = cadence::text::allocateUnits(resultUnits, &capacity);
  char16_t* out = block;
  int32_t from = 0;  // the start of the plain run not yet copied
  auto put = [&out](const char16_t* units, int32_t n) {
    if (n > 0) std::memcpy(out, units, static_cast<size_t>(n) * kUnit);
    out += n;
  };
  scanPlaceholders(text, scanned, [&](int32_t at, int k) {
    put(text + from, at - from);
    put(k < usable ? args[k]->text : nullptr, argumentUnits(k));
    from = at + 2;
  });
  put(text + from, scanned - from);
  *out = 0;
  installText(block, capacity);  // the arguments may lie in the old block
}

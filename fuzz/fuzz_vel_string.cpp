// VelString operations (assign, assignNarrow, append, find, left, erase,
// replace, substituteArgs, copies) against std::u16string. Four strings are
// worked on side by side; borrowed texts come from buffers that live for the
// whole run, so a string that wrote through borrowed text shows up as a
// changed buffer.
#include <algorithm>
#include <array>
#include <deque>
#include <utility>

#include "fuzz/fuzz_support.h"

namespace {

using cadence::fuzz::contentOf;
using cadence::fuzz::sameContent;
using cadence::fuzz::textFrom;

constexpr int kSlots = 4;
// Longer texts are emptied before appending or substituting, so repeated
// self-appends cannot grow without bound.
constexpr size_t kLongest = 512;

struct Slot {
  VelString value;
  std::u16string model;
};

// Texts that strings may borrow, with a copy to show they were never written.
struct Borrowed {
  std::u16string text;
  std::u16string original;
};

std::u16string cutAtZero(std::u16string s) {
  const size_t zero = s.find(char16_t{0});
  if (zero != std::u16string::npos) s.resize(zero);
  return s;
}

int32_t modelFind(const std::u16string& hay, const std::u16string& needle, int32_t start) {
  const auto n = static_cast<int32_t>(needle.size());
  const auto m = static_cast<int32_t>(hay.size());
  if (n > m) return -1;
  if (n == 0) return 0;
  if (start < 0 || start >= m || start > m - n) return -1;
  const size_t at = hay.find(needle, static_cast<size_t>(start));
  return at == std::u16string::npos ? -1 : static_cast<int32_t>(at);
}

void check(const Slot& s) { VEL_FUZZ_CHECK(sameContent(s.value, s.model)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  cadence::fuzz::choosePooling(in.ConsumeBool());
  std::array<Slot, kSlots> slots;
  std::deque<Borrowed> borrowed;  // stable addresses

  for (int step = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
    Slot& s = slots[in.ConsumeIntegralInRange<int>(0, kSlots - 1)];
    Slot& other = slots[in.ConsumeIntegralInRange<int>(0, kSlots - 1)];
    for (Slot& any : slots) {
      if (any.model.size() > kLongest) {
        any.value.clear();
        any.model.clear();
      }
    }
    switch (in.ConsumeIntegralInRange<int>(0, 13)) {
      case 0: {  // copy, measured
        const std::u16string t = textFrom(in, 40);
        s.value.assign(t.c_str(), VelString::kMeasure);
        s.model = t;
        VEL_FUZZ_CHECK(s.value.ownsText());
        break;
      }
      case 1: {  // copy of a counted prefix (the text may hold zero units)
        const std::u16string t = textFrom(in, 40, true);
        const uint32_t n = in.ConsumeIntegralInRange<uint32_t>(1, static_cast<uint32_t>(t.size()) + 1);
        std::u16string source = t;
        source.resize(std::max<size_t>(source.size(), n) + 1, u'\0');
        s.value.assign(source.c_str(), n);
        s.model = cutAtZero(source.substr(0, n));
        break;
      }
      case 2: {  // borrow
        borrowed.push_back({textFrom(in, 40), {}});
        borrowed.back().original = borrowed.back().text;
        s.value.assign(borrowed.back().text.c_str(), VelString::kBorrow);
        s.model = borrowed.back().text;
        VEL_FUZZ_CHECK(s.value.text == borrowed.back().text.c_str() && !s.value.ownsText());
        break;
      }
      case 3: {  // assign from a point inside the string's own text
        const int32_t n = s.value.length();
        const int32_t at = in.ConsumeIntegralInRange<int32_t>(0, n);
        if (!s.value.text) break;
        const bool borrow = in.ConsumeBool();
        s.value.assign(s.value.text + at, borrow ? VelString::kBorrow : VelString::kMeasure);
        s.model = s.model.substr(static_cast<size_t>(at));
        break;
      }
      case 4: {  // 8-bit text, widened byte by byte
        std::string narrow = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<size_t>(0, 30));
        narrow = narrow.substr(0, narrow.find('\0'));
        s.value.assignNarrow(narrow.c_str());
        s.model.clear();
        for (unsigned char c : narrow) s.model.push_back(c);
        break;
      }
      case 5:  // append, possibly to itself
        s.model += other.model;
        s.value.append(other.value);
        break;
      case 6: {
        const int32_t start = in.ConsumeIntegralInRange<int32_t>(-3, 50);
        VEL_FUZZ_CHECK(s.value.find(other.value, start) == modelFind(s.model, other.model, start));
        break;
      }
      case 7: {
        const int32_t n = in.ConsumeIntegralInRange<int32_t>(-3, 50);
        const VelString cut = s.value.left(n);
        VEL_FUZZ_CHECK(sameContent(cut, s.model.substr(0, static_cast<size_t>(std::max(n, 0)))));
        if (s.value.length() > std::max(n, 0)) VEL_FUZZ_CHECK(cut.ownsText());
        if (!s.value.ownsText() && s.value.length() <= std::max(n, 0)) VEL_FUZZ_CHECK(cut.text == s.value.text);
        break;
      }
      case 8: {
        const int32_t position = in.ConsumeIntegralInRange<int32_t>(-5, 50);
        const int32_t count = in.ConsumeIntegralInRange<int32_t>(-5, 50);
        const auto m = static_cast<int64_t>(s.model.size());
        const int64_t end = std::clamp<int64_t>(int64_t{position} + count, 0, m);
        const int64_t from = std::clamp<int64_t>(position, 0, m);
        if (end > from) s.model.erase(static_cast<size_t>(from), static_cast<size_t>(end - from));
        s.value.erase(position, count);
        break;
      }
      case 9: {
        int32_t start = in.ConsumeIntegralInRange<int32_t>(-5, 50);
        int32_t end = in.ConsumeIntegralInRange<int32_t>(-5, 50);
        const VelString result = s.value.replace(start, end, other.value);
        const auto m = static_cast<int32_t>(s.model.size());
        start = std::clamp(start, 0, m);
        end = std::clamp(end, start, m);
        const std::u16string expected =
            s.model.substr(0, static_cast<size_t>(start)) + other.model + s.model.substr(static_cast<size_t>(end));
        VEL_FUZZ_CHECK(sameContent(result, expected));
        VEL_FUZZ_CHECK(result.ownsText());
        break;
      }
      case 10: {  // substituteArgs with up to ten entries, a null one ending the list
        std::array<const VelString*, 11> list{};
        std::array<const std::u16string*, 10> models{};
        const int entries = in.ConsumeIntegralInRange<int>(0, 10);
        for (int k = 0; k < entries; ++k) {
          const Slot& a = slots[in.ConsumeIntegralInRange<int>(0, kSlots - 1)];
          list[k] = &a.value;
          models[k] = &a.model;
        }
        bool changed = false;
        const std::u16string expected = cadence::fuzz::modelSubstitute(s.model, models, &changed);
        const bool owned = s.value.ownsText();
        const char16_t* before = s.value.text;
        s.value.substituteArgs(list.data());
        if (owned && changed) {
          s.model = expected;
        } else {
          VEL_FUZZ_CHECK(s.value.text == before);  // nothing to do: nothing allocated
        }
        break;
      }
      case 11:  // copy construction and assignment
        if (in.ConsumeBool()) {
          VelString copy(other.value);
          VEL_FUZZ_CHECK(sameContent(copy, other.model));
          VEL_FUZZ_CHECK(copy.ownsText() == other.value.ownsText());
          s.value = std::move(copy);
        } else {
          s.value = other.value;
        }
        s.model = other.model;
        break;
      case 12:
        s.value.clear();
        s.model.clear();
        VEL_FUZZ_CHECK(s.value.text == nullptr && s.value.textCapacity == 0);
        break;
      case 13: {  // one character
        const char c = static_cast<char>(in.ConsumeIntegral<uint8_t>());
        s.value = VelString(c);
        s.model = c ? std::u16string(1, static_cast<unsigned char>(c)) : std::u16string();
        VEL_FUZZ_CHECK(s.value.ownsText());
        break;
      }
    }
    check(s);
    check(other);
  }
  for (const Slot& s : slots) check(s);
  for (const Borrowed& b : borrowed) VEL_FUZZ_CHECK(b.text == b.original);
  return 0;
}

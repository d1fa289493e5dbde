// Shared pieces of the fuzz targets: reading UTF-16 texts from the input,
// comparing a VelString with its model, and choosing pooled or exact-size
// blocks for a run (exact-size blocks let AddressSanitizer see every byte
// past the end and every use after release, which a cache of blocks hides).
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "cadencehost/bucket_memory_pool.h"
#include "cadencehost/vel_string.h"
#include "memory/pool.h"

namespace cadence::fuzz {

// Ends the run with a message: libFuzzer records the input as a crash.
[[noreturn]] inline void fail(const char* what, int line) {
  std::fprintf(stderr, "model mismatch: %s (line %d)\n", what, line);
  std::abort();
}
#define VEL_FUZZ_CHECK(cond)                             \
  do {                                                   \
    if (!(cond)) ::cadence::fuzz::fail(#cond, __LINE__); \
  } while (0)

// A UTF-16 unit drawn mostly from characters the code under test treats
// specially, so short inputs reach placeholders, separators and matches.
inline char16_t unitFrom(FuzzedDataProvider& in, bool allowZero) {
  static constexpr char16_t kCommon[] = {u'%', u'1',  u'2', u'9', u':', u'0', u'a', u'b',
                                         u'/', u'\\', u'c', u'.', u' ', u'%', u'3', u'A'};
  const uint8_t pick = in.ConsumeIntegral<uint8_t>();
  if (pick < 200) return kCommon[pick % 16];
  if (pick < 250) return static_cast<char16_t>(0x20 + pick % 0x5f);
  if (pick == 250 && allowZero) return 0;
  if (pick == 251) return 0xD800;
  if (pick == 252) return 0xFFFF;
  return static_cast<char16_t>(0x00E9 + pick);
}

inline std::u16string textFrom(FuzzedDataProvider& in, size_t maxUnits, bool allowZero = false) {
  const size_t n = in.ConsumeIntegralInRange<size_t>(0, maxUnits);
  std::u16string s;
  s.reserve(n);
  for (size_t i = 0; i < n && in.remaining_bytes() > 0; ++i) s.push_back(unitFrom(in, allowZero));
  return s;
}

// The content of a VelString as the model sees it.
inline std::u16string contentOf(const VelString& s) {
  const int32_t n = s.length();
  return n > 0 ? std::u16string(s.text, static_cast<size_t>(n)) : std::u16string();
}

inline bool sameContent(const VelString& s, const std::u16string& model) {
  if (s.length() != static_cast<int32_t>(model.size())) return false;
  if (model.empty()) return true;
  return s.text[model.size()] == 0 && std::char_traits<char16_t>::compare(s.text, model.data(), model.size()) == 0;
}

// Switches pooling on or off for this run; the pool in use is made first.
inline void choosePooling(bool pooled) {
  if (!poolInUse()) {
    int32_t usable = 0;
    void* block = poolAllocate(16, &usable);
    poolFree(&usable, &block);
  }
  poolInUse()->setEnabled(pooled);
}

// '%1'..'%9' and '%:' take argument k = digit - '1'; a '%' before any other
// unit keeps both units; the list ends at its first null entry.
inline std::u16string modelSubstitute(const std::u16string& text, const std::array<const std::u16string*, 10>& args,
                                      bool* changed) {
  std::u16string out;
  *changed = false;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == u'%' && i + 1 < text.size()) {
      const char16_t next = text[i + 1];
      if (next >= u'1' && next <= u':') {
        const std::u16string* arg = args[next - u'1'];
        if (arg) out += *arg;
        *changed = true;
      } else {
        out += text[i];
        out += next;
      }
      i += 2;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace cadence::fuzz

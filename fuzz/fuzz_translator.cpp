// The pass-through translator against a model: the argument forms (key and
// one to six texts) fill '%1'..'%N' in order and empty the other placeholder
// numbers; the array form puts element n into the first '%n' (one or two
// digits, n = 1..count, in ascending order).
#include <array>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "text/translator_holder.h"
#include "text/vel_trivial_translator.h"

namespace {

using cadence::fuzz::sameContent;

std::u16string widen(const std::string& narrow) {
  std::u16string out;
  for (unsigned char c : narrow) out.push_back(c);
  return out;
}

// The argument forms fill '%1'..'%N' in order; higher numbers become empty.
std::u16string modelArgumentForm(const std::u16string& text, const std::vector<std::u16string>& args) {
  std::array<const std::u16string*, 10> list{};
  for (size_t k = 0; k < args.size() && k < list.size(); ++k) list[k] = &args[k];
  bool changed = false;
  return cadence::fuzz::modelSubstitute(text, list, &changed);
}

void modelReplaceArg(std::u16string& text, int32_t n, const std::u16string& arg) {
  if (n < 1 || n > 99) return;
  std::u16string digits;
  if (n >= 10) digits.push_back(static_cast<char16_t>(u'0' + n / 10));
  digits.push_back(static_cast<char16_t>(u'0' + n % 10));
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'%') continue;
    if (text.compare(i + 1, digits.size(), digits) != 0 || i + 1 + digits.size() > text.size()) continue;
    text.replace(i, 1 + digits.size(), arg);
    return;
  }
}

// A key made of the bytes the placeholders are built from, plus others.
std::string keyFrom(FuzzedDataProvider& in) {
  static constexpr char kCommon[] = {'%', '1', '2', '9', ':', '0', 'x', ' ', '%', '3', '4', '5', '6', '7', '8', 'y'};
  const size_t n = in.ConsumeIntegralInRange<size_t>(0, 40);
  std::string key;
  for (size_t i = 0; i < n && in.remaining_bytes() > 0; ++i) {
    const uint8_t pick = in.ConsumeIntegral<uint8_t>();
    key.push_back(pick < 224 ? kCommon[pick % 16] : static_cast<char>(pick | 1));  // never a zero byte
  }
  return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  cadence::fuzz::choosePooling(in.ConsumeBool());
  IVelTranslator* translator = getTranslator();
  VEL_FUZZ_CHECK(translator && !translator->isTranslating());

  for (int round = 0; round < 8 && in.remaining_bytes() > 0; ++round) {
    const std::string key = keyFrom(in);
    const bool nullKey = in.ConsumeIntegralInRange<int>(0, 15) == 0;
    const char* keyText = nullKey ? nullptr : key.c_str();
    const std::u16string text = nullKey ? std::u16string() : widen(key);

    if (in.ConsumeBool()) {
      // An argument form with N = 0..6 texts (a null text counts as empty).
      const int n = in.ConsumeIntegralInRange<int>(0, 6);
      std::array<VelString, 6> args;
      std::vector<std::u16string> models;
      for (int k = 0; k < n; ++k) {
        if (in.ConsumeIntegralInRange<int>(0, 7) == 0) {
          models.emplace_back();  // stays null
        } else {
          models.push_back(cadence::fuzz::textFrom(in, 12));
          args[k].assign(models.back().c_str(), VelString::kMeasure);
        }
      }
      VelString result;
      switch (n) {
        case 0: result = translator->translate(keyText); break;
        case 1: result = translator->translate(keyText, args[0]); break;
        case 2: result = translator->translate(keyText, args[0], args[1]); break;
        case 3: result = translator->translate(keyText, args[0], args[1], args[2]); break;
        case 4: result = translator->translate(keyText, args[0], args[1], args[2], args[3]); break;
        case 5: result = translator->translate(keyText, args[0], args[1], args[2], args[3], args[4]); break;
        default: result = translator->translate(keyText, args[0], args[1], args[2], args[3], args[4], args[5]); break;
      }
      VEL_FUZZ_CHECK(sameContent(result, n == 0 ? text : modelArgumentForm(text, models)));
    } else {
      // The array form; counts beyond 99 and below 1 included.
      const int32_t count =
          in.ConsumeIntegralInRange<int32_t>(-2, 14) + (in.ConsumeIntegralInRange<int>(0, 31) == 0 ? 95 : 0);
      const bool nullArgs = in.ConsumeIntegralInRange<int>(0, 15) == 0;
      std::vector<VelString> args(static_cast<size_t>(count > 0 ? count : 0));
      std::vector<std::u16string> models(args.size());
      for (size_t k = 0; k < args.size(); ++k) {
        models[k] = cadence::fuzz::textFrom(in, 6);
        args[k].assign(models[k].c_str(), VelString::kMeasure);
      }
      const VelString result = translator->translate(keyText, count, nullArgs ? nullptr : args.data());
      std::u16string expected = text;
      if (!nullArgs)
        for (int32_t k = 1; k <= count; ++k) modelReplaceArg(expected, k, models[static_cast<size_t>(k - 1)]);
      VEL_FUZZ_CHECK(sameContent(result, expected));
    }
  }
  VEL_FUZZ_CHECK(getTranslator() == translator);
  return 0;
}

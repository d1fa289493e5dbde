// The pass-through translator and placeholder replacement by number.
#include "text/vel_trivial_translator.h"

#include "cadencehost/vel_query.h"

bool VelTrivialTranslator::lookupText(const char* key, VelString& out) {
  VelString widened;
  if (key) widened.assignNarrow(key);
  out = widened;
  return true;
}

VelString VelTrivialTranslator::translate(const char* key) {
  VelString result;
  lookupText(key, result);
  return result;
}

VelString VelTrivialTranslator::translateWith(const char* key, const VelString* const* args) {
  VelString result = VelTrivialTranslator::translate(key);
  result.substituteArgs(args);
  return result;
}

VelString VelTrivialTranslator::translate(const char* key, const VelString& a1) {
  const VelString* args[] = {&a1, nullptr};
  return translateWith(key, args);
}

VelString VelTrivialTranslator::translate(const char* key, const VelString& a1, const VelString& a2) {
  const VelString* args[] = {&a1, &a2, nullptr};
  return translateWith(key, args);
}

VelString VelTrivialTranslator::translate(const char* key, const VelString& a1, const VelString& a2,
                                          const VelString& a3) {
  const VelString* args[] = {&a1, &a2, &a3, nullptr};
  return translateWith(key, args);
}

VelString VelTrivialTranslator::translate(const char* key, const VelString& a1, const VelString& a2,
                                          const VelString& a3, const VelString& a4) {
  const VelString* args[] = {&a1, &a2, &a3, &a4, nullptr};
  return translateWith(key, args);
}

VelString VelTrivialTranslator::translate(const char* key, const VelString& a1, const VelString& a2,
                                          const VelString& a3, const VelString& a4, const VelString& a5) {
  const VelString* args[] = {&a1, &a2, &a3, &a4, &a5, nullptr};
  return translateWith(key, args);
}

VelString VelTrivialTranslator::translate(const char* key, const VelString& a1, const VelString& a2,
                                          const VelString& a3, const VelString& a4, const VelString& a5,
                                          const VelString& a6) {
  const VelString* args[] = {&a1, &a2, &a3, &a4, &a5, &a6, nullptr};
  return translateWith(key, args);
}

VelString VelTrivialTranslator::translate(const char* key, int32_t count, const VelString* args) {
  VelString result = VelTrivialTranslator::translate(key);
  if (!args) return result;
  for (int32_t n = 1; n <= count; ++n) replaceArg(result, n, args[n - 1]);
  return result;
}

void VelTrivialTranslator::queryInterface(const char* name, void* target) {
  velAnswerQuery<IVelTranslator>(this, kClassName, name, target);
}

void replaceArg(VelString& text, int32_t n, const VelString& argument) {
  if (n < 1 || n > 99) return;
  char16_t digits[2];
  int32_t digitCount = 0;
  if (n >= 10) digits[digitCount++] = static_cast<char16_t>(u'0' + n / 10);
  digits[digitCount++] = static_cast<char16_t>(u'0' + n % 10);

  const int32_t length = text.length();
  for (int32_t i = 0; i + 1 < length; ++i) {
    if (text.text[i] != u'%') continue;
    bool match = true;
    for (int32_t d = 0; d < digitCount; ++d) {
      // text[length] is the terminator, so reading up to it stays in bounds.
      if (i + 1 + d > length || text.text[i + 1 + d] != digits[d]) {
        match = false;
        break;
      }
    }
    if (!match) continue;
    text = text.replace(i, i + 1 + digitCount, argument);
    return;
  }
}

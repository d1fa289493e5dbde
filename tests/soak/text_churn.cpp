// Text churn for the soak: narrow and wide names, appends, cuts, searches and
// translations with arguments, each compared with the text expected.
#include "tests/soak/text_churn.h"

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_string.h"
#include "cadencehost/vel_translator.h"
#include "text/translator_holder.h"

namespace cadence::soak {
namespace {

std::u16string widened(const std::string& narrow) {
  std::u16string wide;
  for (char c : narrow) wide.push_back(static_cast<unsigned char>(c));
  return wide;
}

bool says(const VelString& text, const std::u16string& expected) { return text.sameText(expected.c_str()); }

}  // namespace

bool TextChurn::fail(const std::string& what) {
  if (problem_.empty()) problem_ = what;
  return false;
}

bool TextChurn::round(const std::string& name, std::mt19937& random) {
  const int32_t number = static_cast<int32_t>(random() % 100000);
  const std::string digits = std::to_string(number);

  VelCString copied = VelCString::copyOf(name.c_str());
  if (copied != name.c_str()) return fail("a copied name reads differently from '" + name + "'");

  VelString wide(name.c_str());
  VelString count(digits.c_str());
  VelString joined = wide;
  joined.append(VelString(" #"));
  joined.append(count);
  texts_ += 4;
  if (!says(joined, widened(name + " #" + digits))) return fail("an appended text reads wrongly");
  // (searched from the end of the name: the name may hold the same digits)
  const auto numberAt = static_cast<int32_t>(name.size() + 2);
  if (joined.find(count, static_cast<int32_t>(name.size())) != numberAt) return fail("find missed the number");
  VelString cut = joined.left(static_cast<int32_t>(name.size()));
  ++texts_;
  if (!says(cut, widened(name))) return fail("left() cut the text wrongly");

  // Translations with arguments, through the process-wide translator.
  IVelTranslator* translator = getTranslator();
  VelString sentence = translator->translate("%1 alerts from %2", count, wide);
  VelString reordered = translator->translate("%2/%1", wide, count);
  const VelString args[] = {count, wide, joined};
  VelString listed = translator->translate("%3 (%1, %2)", 3, args);
  translations_ += 3;
  texts_ += 3;
  if (!says(sentence, widened(digits + " alerts from " + name))) return fail("a translation reads wrongly");
  if (!says(reordered, widened(digits + "/" + name))) return fail("a reordered translation reads wrongly");
  if (!says(listed, widened(name + " #" + digits + " (" + digits + ", " + name + ")"))) {
    return fail("an array translation reads wrongly");
  }

  VelArray<VelCString> names;
  for (int i = 0; i < 1 + number % 6; ++i) names.push(VelCString::copyOf(name.c_str()));
  texts_ += names.count;
  if (names.at(names.count) != name.c_str()) return fail("a name pushed into an array reads differently");
  return true;
}

}  // namespace cadence::soak

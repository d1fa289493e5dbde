// normalizePath, appendPathComponent and withDriveRoot against a model of
// the path rules: normalising a second time changes nothing, borrowed text
// is never written, every result is read within its block, an absolute
// directory stays absolute, and a text with a NUL in it is the text before
// the NUL all the way down to what the system is handed.
#include <deque>
#include <iterator>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/utf.h"
#include "report/paths.h"

namespace {

using namespace cadence::report;

using cadence::fuzz::sameContent;

bool isLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

std::u16string modelNormalize(std::u16string p) {
  if (p.size() >= 4 && p[0] == u'/' && p[1] == u'/' && isLetter(p[2]) && p[3] == u'/') {
    p = std::u16string{p[2], u':', u'\\'} + p.substr(4);
  }
  for (char16_t& c : p)
    if (c == u'/') c = u'\\';
  while (p.size() > 1 && p.back() == u'\\') p.pop_back();
  return p;
}

std::u16string modelAppend(const std::u16string& path, const std::u16string& component) {
  std::u16string out;
  if (path.empty()) {
    out = component;
  } else {
    out = path;
    if (path.back() != u'\\') out += u'\\';  // the last separator is not the last unit, or there is none
    out += component;
  }
  return modelNormalize(out);
}

// Rooted in a separator, or a drive letter with its separator.
bool isAbsolute(const std::u16string& p) {
  return (!p.empty() && (p[0] == u'/' || p[0] == u'\\')) ||
         (p.size() >= 3 && isLetter(p[0]) && p[1] == u':' && (p[2] == u'/' || p[2] == u'\\'));
}

// The text a string made from `p` holds: everything before a NUL.
std::u16string beforeNul(const std::u16string& p) { return p.substr(0, p.find(u'\0')); }

std::u16string pathText(FuzzedDataProvider& in) {
  static constexpr char16_t kUnits[] = {u'/', u'/', u'\\', u'c', u':', u'a', u'.', u'd', u'/', u'\\', u'x', 0x00E9, 0};
  const size_t n = in.ConsumeIntegralInRange<size_t>(0, 24);
  std::u16string s;
  for (size_t i = 0; i < n && in.remaining_bytes() > 0; ++i) {
    s.push_back(kUnits[in.ConsumeIntegral<uint8_t>() % std::size(kUnits)]);
  }
  return s;
}

// An owned copy, or a borrowing of `keep` (which must outlive the string).
VelString makePath(const std::u16string& keep, bool borrow) {
  VelString s;
  s.assign(keep.c_str(), borrow ? VelString::kBorrow : VelString::kMeasure);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  cadence::fuzz::choosePooling(in.ConsumeBool());

  const std::u16string first = pathText(in);
  const std::u16string firstKept = first;
  VelString path = makePath(first, in.ConsumeBool());
  std::u16string model = modelNormalize(beforeNul(first));
  normalizePath(path);
  VEL_FUZZ_CHECK(sameContent(path, model));
  VEL_FUZZ_CHECK(first == firstKept);  // a borrowed text is copied, not edited
  if (isAbsolute(beforeNul(first))) VEL_FUZZ_CHECK(isAbsolute(cadence::fuzz::contentOf(withDriveRoot(path))));
  // What the system is handed: the text before the NUL, and never a NUL.
  const std::string native = cadence::port::utf16ToUtf8(path.text);
  VEL_FUZZ_CHECK(native.find('\0') == std::string::npos);
  VEL_FUZZ_CHECK(native == cadence::port::utf16ToUtf8(model.c_str()));

  std::deque<std::u16string> kept;  // texts that strings may borrow, with their copies
  std::deque<std::u16string> copies;
  for (int step = 0; step < 6 && in.remaining_bytes() > 0; ++step) {
    const std::u16string& component = kept.emplace_back(pathText(in));
    copies.push_back(component);
    const VelString componentString = makePath(component, in.ConsumeBool());
    if (in.ConsumeBool()) {
      // Append to a path that was not normalised first.
      const std::u16string& raw = kept.emplace_back(pathText(in));
      copies.push_back(raw);
      path = makePath(raw, in.ConsumeBool());
      model = beforeNul(raw);
    }
    const bool wasAbsolute = isAbsolute(model);
    VelString& returned = appendPathComponent(path, componentString);
    VEL_FUZZ_CHECK(&returned == &path);
    model = modelAppend(model, beforeNul(component));
    VEL_FUZZ_CHECK(sameContent(path, model));
    if (wasAbsolute) VEL_FUZZ_CHECK(isAbsolute(cadence::fuzz::contentOf(withDriveRoot(path))));

    VelString again(path);
    normalizePath(again);
    VEL_FUZZ_CHECK(sameContent(again, model));  // normalising twice changes nothing more

    const VelString rooted = withDriveRoot(path);
    const bool bareDrive = model.size() == 2 && model[1] == u':';
    VEL_FUZZ_CHECK(sameContent(rooted, bareDrive ? model + u'\\' : model));
    VEL_FUZZ_CHECK(sameContent(componentString, beforeNul(component)));
  }
  VEL_FUZZ_CHECK(kept == copies);  // no borrowed text was written through
  return 0;
}

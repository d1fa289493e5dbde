// substituteArgs: placeholders '%1'..'%9' and '%:', plain '%' runs, borrowed
// texts, and the lists and texts outside the usual shape.
#include <gtest/gtest.h>

#include <string>

#include "text/vel_string.h"

namespace {

std::u16string content(const VelString& s) { return s.text ? std::u16string(s.text) : std::u16string(); }

std::u16string substitute(const char* pattern, const VelString* const* args) {
  VelString s(pattern);
  s.substituteArgs(args);
  return content(s);
}

TEST(SubstituteArgs, PlaceholdersInAnyOrder) {
  VelString three("3"), seven("7"), a("a"), b("b");
  const VelString* list[] = {&three, &seven, nullptr};
  EXPECT_EQ(substitute("%1 of %2", list), u"3 of 7");
  const VelString* ab[] = {&a, &b, nullptr};
  EXPECT_EQ(substitute("%2-%1", ab), u"b-a");
  EXPECT_EQ(substitute("[%1]", ab), u"[a]");
}

TEST(SubstituteArgs, ColonIsTheTenthPlaceholder) {
  VelString args[10] = {VelString("0"), VelString("1"), VelString("2"), VelString("3"), VelString("4"),
                        VelString("5"), VelString("6"), VelString("7"), VelString("8"), VelString("ten")};
  const VelString* list[11];
  for (int i = 0; i < 10; ++i) list[i] = &args[i];
  list[10] = nullptr;
  EXPECT_EQ(substitute("%:|%9|%1", list), u"ten|8|0");
}

TEST(SubstituteArgs, PlainPercentRuns) {
  VelString x("X");
  const VelString* list[] = {&x, nullptr};
  EXPECT_EQ(substitute("100%", list), u"100%");
  EXPECT_EQ(substitute("%%1", list), u"%%1");  // no escape form: '%%' is plain text
  EXPECT_EQ(substitute("%0%a%1", list), u"%0%aX");
  EXPECT_EQ(substitute("%", list), u"%");
}

TEST(SubstituteArgs, UnchangedWithoutOwnedTextOrPlaceholders) {
  VelString x("X");
  const VelString* list[] = {&x, nullptr};
  const char16_t* literal = u"%1 borrowed";
  VelString borrowed = VelString::borrowing(literal);
  borrowed.substituteArgs(list);
  EXPECT_EQ(borrowed.text, literal);
  VelString plain("no placeholders");
  char16_t* block = plain.text;
  plain.substituteArgs(list);
  EXPECT_EQ(plain.text, block);  // nothing allocated
  VelString().substituteArgs(list);
}

TEST(SubstituteArgs, NullAndEmptyEntriesGiveEmptyText) {
  VelString nullText;
  VelString a("a");
  const VelString* list[] = {&a, &nullText, nullptr, nullptr, nullptr};
  EXPECT_EQ(substitute("<%2>", list), u"<>");
  EXPECT_EQ(substitute("<%5>", list), u"<>");
  EXPECT_EQ(substitute("<%1>", nullptr), u"<>");
}

TEST(SubstituteArgs, EntriesAtOrPastTheTerminatingNullAreEmpty) {
  // Whatever lies after the terminating null entry is never read.
  VelString a("a"), hidden("hidden");
  const VelString* list[] = {&a, nullptr, &hidden, &hidden};
  EXPECT_EQ(substitute("%1%3%4%9", list), u"a");
}

TEST(SubstituteArgs, RepeatedPlaceholderIsFilledEachTime) {
  VelString longArg("a-much-longer-argument");
  const VelString* list[] = {&longArg, nullptr};
  EXPECT_EQ(substitute("%1/%1/%1", list), u"a-much-longer-argument/a-much-longer-argument/a-much-longer-argument");
  std::string many;
  for (int i = 0; i < 40; ++i) many += "%1";
  std::u16string expected;
  for (int i = 0; i < 40; ++i) expected += u"a-much-longer-argument";
  EXPECT_EQ(substitute(many.c_str(), list), expected);
}

TEST(SubstituteArgs, ArgumentMayBeTheStringItself) {
  VelString s("<%1>");
  const VelString* list[] = {&s, nullptr};
  s.substituteArgs(list);
  EXPECT_EQ(content(s), u"<<%1>>");
}

}  // namespace

namespace {

// Texts are scanned several units at a time; every length and every
// placeholder position around those group edges must come out exact.
TEST(SubstituteArgs, EveryPositionAndLengthAroundGroupEdges) {
  VelString x("XY");
  const VelString* list[] = {&x, nullptr};
  for (int n = 0; n <= 40; ++n) {
    const std::string plain(static_cast<size_t>(n), 'a');
    VelString s(plain.c_str());
    ASSERT_EQ(s.length(), n);
    for (int p = 0; p + 2 <= n; ++p) {
      std::string pattern = plain;
      pattern[p] = '%';
      pattern[p + 1] = '1';
      VelString t(pattern.c_str());
      t.substituteArgs(list);
      std::u16string expected(static_cast<size_t>(n), u'a');
      expected.replace(p, 2, u"XY");
      ASSERT_EQ(content(t), expected) << "length " << n << ", placeholder at " << p;
    }
  }
}

// More placeholders than the fast path keeps track of, with every number in
// turn and arguments of different lengths, against a direct expansion.
TEST(SubstituteArgs, ManyDifferentPlaceholdersMatchADirectExpansion) {
  const char* texts[10] = {"a", "", "ccc", "dddd", "e", "ffffffffffffffffffff", "g", "hh", "iii", "j"};
  VelString args[10];
  const VelString* list[11];
  for (int i = 0; i < 10; ++i) {
    args[i] = VelString(texts[i]);
    list[i] = &args[i];
  }
  list[10] = nullptr;
  std::string pattern;
  std::u16string expected;
  for (int i = 0; i < 37; ++i) {
    const int k = (i * 7) % 10;
    pattern += "<%";
    pattern += static_cast<char>('1' + k);
    expected += u'<';
    for (const char* c = texts[k]; *c; ++c) expected += static_cast<char16_t>(*c);
  }
  pattern += "%";
  expected += u'%';
  EXPECT_EQ(substitute(pattern.c_str(), list), expected);
}

}  // namespace

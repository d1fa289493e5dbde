// substituteArgs: placeholders '%1'..'%9' and '%:', plain '%' runs, borrowed
// texts, and the lists and texts outside the usual shape.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "cadencehost/vel_string.h"

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
  for (int n = 0; n <= 140; ++n) {
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

// The rule read unit by unit: '%' and a digit '1'..':' is a placeholder, '%'
// and any other unit is plain text, a '%' before the end is plain text.
std::u16string expandedByTheRule(const std::u16string& text, const std::u16string* args, int listed) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'%' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const char16_t next = text[++i];
    if (next >= u'1' && next <= u':') {
      const int k = next - u'1';
      if (k < listed) out += args[k];
    } else {
      out += u'%';
      out += next;
    }
  }
  return out;
}

// Texts of every length from a few units to past 64 units and well beyond,
// made of '%', digits and units that share a low byte with them (U+0125,
// U+0131, U+FF05) or narrow to the same saturated value, must expand exactly
// as the rule says: runs of '%', a '%' last, placeholders across group edges.
TEST(SubstituteArgs, MixedTextsOfEveryLengthFollowTheRule) {
  const std::u16string args[3] = {u"<one>", u"", u"three-three"};
  VelString first, second, third;
  first.assign(args[0].c_str(), VelString::kMeasure);
  second.assign(u"", VelString::kMeasure);
  third.assign(args[2].c_str(), VelString::kMeasure);
  const VelString* list[] = {&first, &second, &third, nullptr};
  const char16_t alphabet[] = {u'%', u'%', u'%',      u'1',      u'2',      u'3',      u'9',      u':',
                               u'0', u'a', u'\u0125', u'\u0131', u'\uFF05', u'\u7F25', u'\u8031', u';'};
  std::mt19937 random(20261208);
  for (int n = 1; n <= 200; ++n) {
    for (int round = 0; round < 40; ++round) {
      std::u16string text;
      for (int i = 0; i < n; ++i) text += alphabet[random() % std::size(alphabet)];
      VelString s;
      s.assign(text.c_str(), VelString::kMeasure);
      s.substituteArgs(list);
      ASSERT_EQ(content(s), expandedByTheRule(text, args, 3)) << "length " << n << ", round " << round;
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

// VelString: construction, the copy rule, assign, append, find, left, erase,
// and replace.
#include <gtest/gtest.h>

#include <string>

#include "cadencehost/vel_string.h"

namespace {

std::u16string content(const VelString& s) { return s.text ? std::u16string(s.text) : std::u16string(); }

// An owned string whose block has room for `room` units, holding `text`.
VelString ownedWithRoom(const char16_t* text, int32_t room) {
  VelString s;
  std::u16string filler(static_cast<size_t>(room), u'x');
  s.assign(filler.c_str(), VelString::kMeasure);
  std::u16string t(text);
  for (size_t i = 0; i <= t.size(); ++i) s.text[i] = i < t.size() ? t[i] : 0;
  return s;
}

TEST(StringConstruction, WideningAndOneCharacter) {
  VelString s("caf\xE9");
  EXPECT_EQ(content(s), u"caf\u00E9");  // zero-extended, no code page
  EXPECT_GT(s.textCapacity, 0);
  VelString ff('\xFF');
  EXPECT_EQ(ff.length(), 1);
  EXPECT_EQ(ff.text[0], u'\u00FF');
  VelString zero('\0');
  EXPECT_NE(zero.text, nullptr);  // an owned empty text
  EXPECT_GT(zero.textCapacity, 0);
  EXPECT_EQ(zero.length(), 0);
  VelString none(static_cast<const char*>(nullptr));
  EXPECT_EQ(none.text, nullptr);
  EXPECT_EQ(none.length(), 0);
  EXPECT_TRUE(none.sameText(VelString("")));
}

TEST(StringCopy, BorrowedStaysSharedOwnedIsCopied) {
  const char16_t* literal = u"literal";
  VelString borrowed = VelString::borrowing(literal);
  VelString copy(borrowed);
  EXPECT_EQ(copy.text, literal);
  EXPECT_EQ(copy.textCapacity, 0);

  VelString owned("owned");
  VelString ownedCopy(owned);
  EXPECT_NE(ownedCopy.text, owned.text);
  EXPECT_TRUE(ownedCopy.sameText(owned));

  VelString assigned("old");
  assigned = borrowed;
  EXPECT_EQ(assigned.text, literal);
  assigned = owned;
  EXPECT_NE(assigned.text, owned.text);
  EXPECT_TRUE(assigned.sameText(u"owned"));
  char16_t* before = assigned.text;
  VelString& alias = assigned;
  assigned = alias;
  EXPECT_EQ(assigned.text, before);
}

TEST(StringCopy, OnlyABorrowedAux1IsCarriedOver) {
  static int marker;
  VelString source("x");
  source.aux1 = &marker;  // borrowed
  VelString copy(source);
  EXPECT_EQ(copy.aux1, &marker);
  EXPECT_EQ(copy.aux2, nullptr);
  source.aux1 = nullptr;
}

TEST(StringAssign, BorrowCopyMeasureAndNull) {
  const char16_t* literal = u"hello";
  VelString s;
  s.assign(literal, VelString::kBorrow);
  EXPECT_EQ(s.text, literal);
  EXPECT_EQ(s.textCapacity, 0);
  s.assign(literal, VelString::kMeasure);
  EXPECT_NE(s.text, literal);
  EXPECT_EQ(content(s), u"hello");
  s.assign(literal, 3);
  EXPECT_EQ(content(s), u"hel");
  s.assign(nullptr, VelString::kMeasure);
  EXPECT_EQ(s.text, nullptr);
  EXPECT_EQ(s.textCapacity, 0);
}

TEST(StringAssign, SourceInsideOwnTextStaysValid) {
  VelString s("abcdef");
  s.assign(s.text + 2, VelString::kMeasure);  // copied before the old block goes
  EXPECT_EQ(content(s), u"cdef");
  s.assign(s.text + 1, 2);
  EXPECT_EQ(content(s), u"de");
  s.assign(s.text + 1, VelString::kBorrow);  // borrowing own block would dangle
  EXPECT_EQ(content(s), u"e");
  EXPECT_GT(s.textCapacity, 0);
}

TEST(StringAppend, BorrowedMovesOutOwnedGrowsInPlace) {
  const char16_t* literal = u"ab";
  VelString s = VelString::borrowing(literal);
  s.append(VelString::borrowing(u"cd"));
  EXPECT_NE(s.text, literal);
  EXPECT_GT(s.textCapacity, 0);
  EXPECT_EQ(content(s), u"abcd");
  EXPECT_EQ(std::u16string(literal), u"ab");  // the literal was never written

  VelString roomy = ownedWithRoom(u"ab", 8);
  char16_t* block = roomy.text;
  roomy.append(VelString::borrowing(u"cdef"));
  EXPECT_EQ(roomy.text, block);
  EXPECT_EQ(content(roomy), u"abcdef");
  roomy.append(VelString());
  roomy.append(VelString::borrowing(u""));
  EXPECT_EQ(roomy.text, block);
  EXPECT_EQ(content(roomy), u"abcdef");
}

TEST(StringAppend, SelfAppendInPlaceAndGrowing) {
  VelString roomy = ownedWithRoom(u"ab", 8);
  char16_t* block = roomy.text;
  roomy.append(roomy);
  EXPECT_EQ(roomy.text, block);
  EXPECT_EQ(content(roomy), u"abab");

  VelString tight("xyz");
  tight.append(tight);
  tight.append(tight);
  EXPECT_EQ(content(tight), u"xyzxyzxyzxyz");
}

TEST(StringFind, Bounds) {
  VelString s("abcabc");
  VelString bc("bc");
  EXPECT_EQ(s.find(bc, 0), 1);
  EXPECT_EQ(s.find(bc, 2), 4);
  EXPECT_EQ(s.find(bc, 4), 4);  // start = length - needle length still matches at the end
  EXPECT_EQ(s.find(bc, 5), -1);
  EXPECT_EQ(s.find(bc, -1), -1);
  EXPECT_EQ(s.find(VelString(), 5), 0);  // empty needle: 0 whatever the start
  EXPECT_EQ(s.find(VelString(""), 99), 0);
  EXPECT_EQ(s.find(VelString("abcabcd"), 0), -1);
  EXPECT_EQ(s.find(VelString("abd"), 0), -1);
  EXPECT_EQ(VelString().find(VelString("a"), 0), -1);
}

TEST(StringLeft, WholeCutAndNegative) {
  const char16_t* literal = u"abcdef";
  VelString s = VelString::borrowing(literal);
  VelString whole = s.left(6);
  EXPECT_EQ(whole.text, literal);  // the copy rule: still borrowed
  EXPECT_EQ(s.left(100).text, literal);
  VelString cut = s.left(3);
  EXPECT_EQ(content(cut), u"abc");
  EXPECT_GT(cut.textCapacity, 0);
  EXPECT_EQ(std::u16string(literal), u"abcdef");
  VelString none = s.left(0);
  EXPECT_EQ(none.length(), 0);
  EXPECT_EQ(s.left(-4).length(), 0);
}

TEST(StringErase, InRangeAndClampedNeverWritingBorrowedText) {
  const char16_t* literal = u"C:/x/y";
  VelString s = VelString::borrowing(literal);
  s.erase(3, 1);
  EXPECT_EQ(content(s), u"C://y");
  EXPECT_GT(s.textCapacity, 0);  // in a block of its own
  EXPECT_EQ(std::u16string(literal), u"C:/x/y");

  VelString t("abcdef");
  t.erase(4, 100);
  EXPECT_EQ(content(t), u"abcd");
  t.erase(-2, 3);
  EXPECT_EQ(content(t), u"bcd");
  t.erase(10, 1);
  t.erase(1, -1);
  EXPECT_EQ(content(t), u"bcd");
  VelString().erase(0, 1);  // null text: nothing to remove
}

TEST(StringReplace, InRangeAndClamped) {
  VelString s("hello world");
  VelString with("there");
  EXPECT_EQ(content(s.replace(6, 11, with)), u"hello there");
  EXPECT_EQ(content(s.replace(0, 0, with)), u"therehello world");
  EXPECT_EQ(content(s.replace(5, 5, VelString())), u"hello world");
  EXPECT_EQ(content(s), u"hello world");  // unchanged
  EXPECT_EQ(content(s.replace(6, 500, with)), u"hello there");
  EXPECT_EQ(content(s.replace(-3, 5, with)), u"there world");
  EXPECT_EQ(content(s.replace(8, 2, with)), u"hello wothererld");
  EXPECT_EQ(content(s.replace(40, 50, with)), u"hello worldthere");
}

}  // namespace

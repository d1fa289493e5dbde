// The pass-through translator, placeholder replacement by number, and the
// translator holder's consultation of the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "cadencehost/vel_id.h"
#include "core/module_identity.h"
#include "tests/report/service_fakes.h"
#include "tests/support/test_host.h"
#include "text/translator_holder.h"
#include "text/vel_trivial_translator.h"

namespace {

std::u16string textOf(const VelString& s) { return s.text ? std::u16string(s.text) : u""; }

TEST(TrivialTranslator, KeyAndArgumentForms) {
  VelTrivialTranslator t;
  const VelString x("x"), y("y"), a("a"), b("b"), c("c"), d("d");
  EXPECT_EQ(textOf(t.translate("\xE9t\xE9 100%")), u"\u00E9t\u00E9 100%");
  EXPECT_EQ(textOf(t.translate(nullptr)), u"");
  EXPECT_EQ(textOf(t.translate("%1 and %2", x, y)), u"x and y");
  EXPECT_EQ(textOf(t.translate("%2 only", x)), u" only");  // the placeholder for N + 1 goes
  EXPECT_EQ(textOf(t.translate("100%", x)), u"100%");
  EXPECT_EQ(textOf(t.translate("%6%5%4%3%2%1", a, b, c, d, x, y)), u"yxdcba");
}

TEST(TrivialTranslator, ArrayFormReplacesByNumber) {
  VelTrivialTranslator t;
  const VelString xy[] = {VelString("x"), VelString("y")};
  EXPECT_EQ(textOf(t.translate("%2/%1", 2, xy)), u"y/x");
  EXPECT_EQ(textOf(t.translate("%2/%1", 0, xy)), u"%2/%1");

  VelString twelve[12];
  std::string key, expected;
  for (int n = 1; n <= 12; ++n) {
    twelve[n - 1] = VelString(("<" + std::to_string(n) + ">").c_str());
    key += "%" + std::to_string(n) + " ";
    expected += "<" + std::to_string(n) + "> ";
  }
  EXPECT_EQ(textOf(t.translate(key.c_str(), 12, twelve)), textOf(VelString(expected.c_str())));
}

// A number without placeholder leaves the text as it is; later numbers are
// still filled.
TEST(TrivialTranslator, ArrayFormSkipsNumbersWithoutPlaceholder) {
  VelTrivialTranslator t;
  const VelString args[] = {VelString("x"), VelString("y"), VelString("z")};
  EXPECT_EQ(textOf(t.translate("a %3 b %1", 3, args)), u"a z b x");
  EXPECT_EQ(textOf(t.translate("ends in %", 3, args)), u"ends in %");
  EXPECT_EQ(textOf(t.translate("", 3, args)), u"");
}

TEST(ReplaceArg, FirstPlaceholderOfTheNumber) {
  VelString text("%12 %1");
  replaceArg(text, 1, VelString("A"));  // '%1' matches inside '%12'
  EXPECT_EQ(textOf(text), u"A2 %1");
  text = VelString("%1 %10 %1");
  replaceArg(text, 10, VelString("T"));
  EXPECT_EQ(textOf(text), u"%1 T %1");
  text = VelString("%0 %100");
  replaceArg(text, 0, VelString("Q"));
  replaceArg(text, 100, VelString("Q"));
  EXPECT_EQ(textOf(text), u"%0 %100");
}

class TranslatorHolderTest : public ::testing::Test {
 protected:
  int lookupsOf(const std::string& name) const {
    return static_cast<int>(std::count(host.lookups.begin(), host.lookups.end(), name));
  }
  void offerService() { host.offer("IVelTranslatorService", static_cast<IVelTranslatorService*>(&service)); }

  cadence::test::TestHost host;
  cadence::test::FakeTranslatorService service;
  cadence::test::MarkingTranslator hostTranslator;
};

TEST_F(TranslatorHolderTest, PassThroughWhileTheHostHasNoServiceAskingEveryTime) {
  VelTranslatorHolder withoutHost;
  IVelTranslator* alone = withoutHost.get();
  EXPECT_STREQ(alone->getClassName(), "VelTrivialTranslator");
  EXPECT_EQ(withoutHost.get(), alone);

  cadence::test::ScopedHost scoped(&host);
  VelTranslatorHolder holder;
  IVelTranslator* first = holder.get();
  EXPECT_EQ(holder.get(), first);
  EXPECT_EQ(holder.get(), first);
  EXPECT_EQ(lookupsOf("IVelTranslatorService"), 3);
  EXPECT_FALSE(holder.serviceConsulted());
}

TEST_F(TranslatorHolderTest, ServiceAppearingLaterReplacesAndReleasesThePassThrough) {
  cadence::test::ScopedHost scoped(&host);
  VelTranslatorHolder holder;
  int32_t* passThroughCount = &holder.get()->refCount;

  service.answer = &hostTranslator;
  offerService();
  IVelTranslator* second = holder.get();
  EXPECT_EQ(second, static_cast<IVelTranslator*>(&hostTranslator));
  EXPECT_EQ(service.components, std::vector<const VelID*>{velModuleIdentity().componentId});
  EXPECT_NE(std::find(host.releaseRefCounters.begin(), host.releaseRefCounters.end(), passThroughCount),
            host.releaseRefCounters.end());
  EXPECT_EQ(textOf(second->translate("hi")), u"T:hi");

  const size_t lookups = host.lookups.size();
  EXPECT_EQ(holder.get(), second);
  EXPECT_EQ(host.lookups.size(), lookups);  // final: no further host calls
}

TEST_F(TranslatorHolderTest, ServiceWithoutTranslatorIsNeverAskedAgain) {
  cadence::test::ScopedHost scoped(&host);
  offerService();  // answers null
  VelTranslatorHolder holder;
  IVelTranslator* first = holder.get();
  EXPECT_STREQ(first->getClassName(), "VelTrivialTranslator");
  EXPECT_EQ(lookupsOf("IVelTranslator"), 1);

  service.answer = &hostTranslator;
  EXPECT_EQ(holder.get(), first);
  EXPECT_EQ(holder.get(), first);
  EXPECT_EQ(service.components.size(), 1u);
}

TEST_F(TranslatorHolderTest, FallsBackToTheHostsDirectTranslator) {
  cadence::test::ScopedHost scoped(&host);
  offerService();  // answers null
  host.offer("IVelTranslator", static_cast<IVelTranslator*>(&hostTranslator));
  VelTranslatorHolder holder;
  EXPECT_EQ(holder.get(), static_cast<IVelTranslator*>(&hostTranslator));
  EXPECT_EQ(holder.get(), static_cast<IVelTranslator*>(&hostTranslator));
  EXPECT_EQ(lookupsOf("IVelTranslatorService"), 1);
}

}  // namespace

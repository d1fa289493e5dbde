// The query rules on objects made here, each breaking one rule: the rule is
// named in the verdict. And the JSON form of a reason.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "cadencehost/vel_query.h"
#include "host/validate/checks.h"
#include "host/validate/query_rules.h"
#include "tests/host/validate/probe_module.h"

namespace cadence::host::validate {
namespace {

// Each way to break the probe modules' sound class, probe::Probe.
using probe::IProbe;

void** slotOf(void* target) { return static_cast<void**>(target); }

struct ListsIVelUnknown : probe::Probe {
  void queryInterface(const char* name, void* target) override {
    probe::Probe::queryInterface(name, target);
    if (!name) appendQueryName(IVelUnknown::kInterfaceName, kVelNameKindInterface, static_cast<VelNameQuery*>(target));
  }
};

struct ListsWhatItDoesNotAnswer : probe::Probe {
  void queryInterface(const char* name, void* target) override {
    probe::Probe::queryInterface(name, target);
    if (!name) appendQueryName("IGhost", kVelNameKindInterface, static_cast<VelNameQuery*>(target));
  }
};

struct LeavesTheSlotOnAMiss : probe::Probe {
  void queryInterface(const char* name, void* target) override {
    void* kept = name ? *slotOf(target) : nullptr;
    probe::Probe::queryInterface(name, target);
    if (name && !*slotOf(target)) *slotOf(target) = kept;
  }
};

struct IgnoresLetterCase : probe::Probe {
  void queryInterface(const char* name, void* target) override {
    std::string lower = name ? name : "";
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name && lower == "iprobe") {
      *slotOf(target) = static_cast<IProbe*>(this);
      return;
    }
    probe::Probe::queryInterface(name, target);
  }
};

struct TakesAReference : probe::Probe {
  void queryInterface(const char* name, void* target) override {
    probe::Probe::queryInterface(name, target);
    if (name && *slotOf(target)) addRef();
  }
};

struct AnswersForAnotherObject : probe::Probe {
  void queryInterface(const char* name, void* target) override {
    static probe::Probe other;
    if (name && std::strcmp(name, IProbe::kInterfaceName) == 0) {
      *slotOf(target) = static_cast<IProbe*>(&other);
      return;
    }
    probe::Probe::queryInterface(name, target);
  }
};

// A second IVelUnknown, with a count of its own, through an interface
// derived from it non-virtually; answered by hand. (The ambiguous base is
// the point: no warning for it.)
#pragma GCC diagnostic ignored "-Winaccessible-base"
class ITally : public IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "ITally";
};

struct TwoCounts final : IProbe, ITally {
  int32_t answer() override { return 2; }
  void queryInterface(const char* name, void* target) override {
    if (!name) {
      auto* record = static_cast<VelNameQuery*>(target);
      appendQueryName("TwoCounts", kVelNameKindClass, record);
      appendQueryName(IProbe::kInterfaceName, kVelNameKindInterface, record);
      appendQueryName(ITally::kInterfaceName, kVelNameKindInterface, record);
      return;
    }
    void** slot = velQuerySlot(target);
    if (velNameIs(name, "TwoCounts")) *slot = this;
    if (velNameIs(name, IVelUnknown::kInterfaceName)) *slot = static_cast<IVelUnknown*>(static_cast<IProbe*>(this));
    if (velNameIs(name, IProbe::kInterfaceName)) *slot = static_cast<IProbe*>(this);
    if (velNameIs(name, ITally::kInterfaceName)) *slot = static_cast<ITally*>(this);
  }
  const char* getClassName() override { return "TwoCounts"; }
};

Verdict verdictOn(IVelUnknown* object) {
  Findings findings;
  QueryRules rules(findings);
  object->addRef();  // held, as a host holds what it examines (never released: the objects live here)
  rules.examine(ReachedObject{object, {}, true});
  return findings.verdict("sound");
}

TEST(QueryRules, EachBrokenRuleIsNamed) {
  probe::Probe sound;
  EXPECT_TRUE(verdictOn(&sound).passed) << verdictOn(&sound).reason;

  ListsIVelUnknown listsUnknown;
  ListsWhatItDoesNotAnswer listsGhost;
  LeavesTheSlotOnAMiss leavesSlot;
  IgnoresLetterCase ignoresCase;
  TakesAReference takesReference;
  AnswersForAnotherObject answersOther;
  const struct {
    IVelUnknown* object;
    const char* problem;
  } broken[] = {
      {&listsUnknown, "lists 'IVelUnknown', which is never listed"},
      {&listsGhost, "'IGhost' answers nothing though it is listed"},
      {&leavesSlot, "leaves the slot as it was: a query sets it to null first"},
      {&ignoresCase, "answers 'ipROBE', 'IProbe' in another letter case; names must match exactly: IProbe answered"},
      {&takesReference, "a query takes no reference"},
      {&answersOther, "'IProbe' answers a part of another object"},
  };
  for (const auto& each : broken) {
    const Verdict verdict = verdictOn(each.object);
    EXPECT_FALSE(verdict.passed) << each.problem;
    EXPECT_NE(verdict.reason.find(each.problem), std::string::npos) << verdict.reason;
  }

  TwoCounts twoCounts;
  const Verdict verdict = verdictOn(static_cast<IProbe*>(&twoCounts));
  ASSERT_EQ(verdict.brokenRules().size(), 1u) << verdict.reason;
  EXPECT_EQ(verdict.reason,
            "TwoCounts: through 'ITally' it has a second IVelUnknown, and a second count (a reference taken through "
            "'IVelUnknown' does not show there): 'ITally' must derive from IVelUnknown virtually ('public virtual "
            "IVelUnknown')");
  EXPECT_EQ(twoCounts.IProbe::getRefCount(), 1);  // the reference taken is given back
}

TEST(ValidationReport, JsonStringsEscapeQuotesBackslashesAndControls) {
  EXPECT_EQ(jsonString("a\"b\\c\n\x01\x7f\xc3\xa9"), "\"a\\\"b\\\\c\\u000a\\u0001\\u007f\xc3\xa9\"");
}

}  // namespace
}  // namespace cadence::host::validate

// The query rules on objects made here, each breaking one rule: the rule is
// named in the verdict. And the JSON form of a reason.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "cadencehost/vel_query.h"
#include "host/validate/checks.h"
#include "host/validate/query_rules.h"

namespace cadence::host::validate {
namespace {

class IThing : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IThing";
  virtual int thing() = 0;
};

class Thing : public IThing {
 public:
  int thing() override { return 1; }
  void queryInterface(const char* name, void* target) override { velAnswerQuery<IThing>(this, "Thing", name, target); }
  const char* getClassName() override { return "Thing"; }
};

void** slotOf(void* target) { return static_cast<void**>(target); }

struct ListsIVelUnknown : Thing {
  void queryInterface(const char* name, void* target) override {
    Thing::queryInterface(name, target);
    if (!name) appendQueryName(IVelUnknown::kInterfaceName, kVelNameKindInterface, static_cast<VelNameQuery*>(target));
  }
};

struct ListsWhatItDoesNotAnswer : Thing {
  void queryInterface(const char* name, void* target) override {
    Thing::queryInterface(name, target);
    if (!name) appendQueryName("IGhost", kVelNameKindInterface, static_cast<VelNameQuery*>(target));
  }
};

struct LeavesTheSlotOnAMiss : Thing {
  void queryInterface(const char* name, void* target) override {
    void* kept = name ? *slotOf(target) : nullptr;
    Thing::queryInterface(name, target);
    if (name && !*slotOf(target)) *slotOf(target) = kept;
  }
};

struct IgnoresLetterCase : Thing {
  void queryInterface(const char* name, void* target) override {
    std::string lower = name ? name : "";
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name && lower == "ithing") {
      *slotOf(target) = static_cast<IThing*>(this);
      return;
    }
    Thing::queryInterface(name, target);
  }
};

struct TakesAReference : Thing {
  void queryInterface(const char* name, void* target) override {
    Thing::queryInterface(name, target);
    if (name && *slotOf(target)) addRef();
  }
};

struct AnswersForAnotherObject : Thing {
  void queryInterface(const char* name, void* target) override {
    static Thing other;
    if (name && std::strcmp(name, IThing::kInterfaceName) == 0) {
      *slotOf(target) = static_cast<IThing*>(&other);
      return;
    }
    Thing::queryInterface(name, target);
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

struct TwoCounts final : IThing, ITally {
  int thing() override { return 2; }
  void queryInterface(const char* name, void* target) override {
    if (!name) {
      auto* record = static_cast<VelNameQuery*>(target);
      appendQueryName("TwoCounts", kVelNameKindClass, record);
      appendQueryName(IThing::kInterfaceName, kVelNameKindInterface, record);
      appendQueryName(ITally::kInterfaceName, kVelNameKindInterface, record);
      return;
    }
    void** slot = velQuerySlot(target);
    if (velNameIs(name, "TwoCounts")) *slot = this;
    if (velNameIs(name, IVelUnknown::kInterfaceName)) *slot = static_cast<IVelUnknown*>(static_cast<IThing*>(this));
    if (velNameIs(name, IThing::kInterfaceName)) *slot = static_cast<IThing*>(this);
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
  Thing sound;
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
      {&ignoresCase, "answers 'itHING', 'IThing' in another letter case; names must match exactly: IThing answered"},
      {&takesReference, "a query takes no reference"},
      {&answersOther, "'IThing' answers a part of another object"},
  };
  for (const auto& each : broken) {
    const Verdict verdict = verdictOn(each.object);
    EXPECT_FALSE(verdict.passed) << each.problem;
    EXPECT_NE(verdict.reason.find(each.problem), std::string::npos) << verdict.reason;
  }

  TwoCounts twoCounts;
  const Verdict verdict = verdictOn(static_cast<IThing*>(&twoCounts));
  ASSERT_EQ(verdict.brokenRules().size(), 1u) << verdict.reason;
  EXPECT_EQ(verdict.reason,
            "TwoCounts: through 'ITally' it has a second IVelUnknown, and a second count (a reference taken through "
            "'IVelUnknown' does not show there): 'ITally' must derive from IVelUnknown virtually ('public virtual "
            "IVelUnknown')");
  EXPECT_EQ(twoCounts.IThing::getRefCount(), 1);  // the reference taken is given back
}

TEST(ValidationReport, JsonStringsEscapeQuotesBackslashesAndControls) {
  EXPECT_EQ(jsonString("a\"b\\c\n\x01\x7f\xc3\xa9"), "\"a\\\"b\\\\c\\u000a\\u0001\\u007f\xc3\xa9\"");
}

}  // namespace
}  // namespace cadence::host::validate

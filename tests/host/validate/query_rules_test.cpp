// The query rules on objects made here, each breaking one rule: the rule is
// named in the verdict. And the JSON form of a reason.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "cadencehost/vel_query.h"
#include "host/validate/query_rules.h"
#include "host/validate/validation_report.h"

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

Verdict verdictOn(IVelUnknown* object) {
  Findings findings;
  QueryRules rules(findings);
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
      {&ignoresCase, "'itHING' ('IThing' in another letter case) answers"},
      {&takesReference, "a query takes no reference"},
      {&answersOther, "'IThing' answers a part of another object"},
  };
  for (const auto& each : broken) {
    const Verdict verdict = verdictOn(each.object);
    EXPECT_FALSE(verdict.passed) << each.problem;
    EXPECT_NE(verdict.reason.find(each.problem), std::string::npos) << verdict.reason;
  }
}

TEST(ValidationReport, JsonStringsEscapeQuotesBackslashesAndControls) {
  EXPECT_EQ(jsonString("a\"b\\c\n\x01\x7f\xc3\xa9"), "\"a\\\"b\\\\c\\u000a\\u0001\\u007f\xc3\xa9\"");
}

}  // namespace
}  // namespace cadence::host::validate

// The soak's alert ledger: a listener is due exactly the expiries of its
// timer while it was in the set, the walk's same-pass rule deciding the pass
// it joined or left in; totals count every stay and every mismatch.
#include <gtest/gtest.h>

#include "tests/soak/alert_ledger.h"

namespace cadence::soak {
namespace {

void expire(ExpiryCount& timer, int times) {
  for (int i = 0; i < times; ++i) timer.noteExpiry(1000 + timer.expiries());
}

TEST(AlertLedger, AListenerIsDueTheExpiriesOfItsStayOutsideAnyPass) {
  ExpiryCount timer;
  expire(timer, 3);  // before it joined
  const PassPosition outside;
  Registration stay(timer, 0x2000, outside);
  expire(timer, 5);
  EXPECT_EQ(stay.dueOnLeaving(outside), 5);
  EXPECT_EQ(timer.lastExpiryNs(), 1007);
  // A pass of another timer does not change the count of this one.
  ExpiryCount other;
  expire(other, 1);
  EXPECT_EQ(stay.dueOnLeaving(PassPosition{&other, 0x1000}), 5);
  Registration late(timer, 0x2000, PassPosition{&other, 0x1000});
  expire(timer, 2);
  EXPECT_EQ(late.dueOnLeaving(outside), 2);
}

TEST(AlertLedger, TheWalksSamePassRuleDecidesTheEdges) {
  ExpiryCount timer;
  expire(timer, 4);  // the fourth is being delivered: the walk is at key 0x5000
  const PassPosition walk{&timer, 0x5000};
  const PassPosition outside;

  // Joined during the pass: above the walk it gets this pass, below it does not.
  Registration above(timer, 0x6000, walk);
  Registration below(timer, 0x4000, walk);
  expire(timer, 2);
  EXPECT_EQ(above.dueOnLeaving(outside), 3);
  EXPECT_EQ(below.dueOnLeaving(outside), 2);

  // Left during a pass: above the walk it misses this pass; at or below the
  // walk (itself included: removed in its own alert) it had it.
  Registration stay(timer, 0x6000, outside);
  expire(timer, 3);
  const PassPosition later{&timer, 0x5000};
  EXPECT_EQ(stay.dueOnLeaving(later), 2);
  EXPECT_EQ(stay.dueOnLeaving(PassPosition{&timer, 0x6000}), 3);
  EXPECT_EQ(stay.dueOnLeaving(PassPosition{&timer, 0x7000}), 3);

  // Added above the walk and removed again in the same pass after its turn.
  Registration brief(timer, 0x9000, PassPosition{&timer, 0x1000});
  EXPECT_EQ(brief.dueOnLeaving(PassPosition{&timer, 0x9000}), 1);
  // ... or before its turn: nothing due.
  Registration gone(timer, 0x9000, PassPosition{&timer, 0x1000});
  EXPECT_EQ(gone.dueOnLeaving(PassPosition{&timer, 0x2000}), 0);
}

TEST(AlertLedger, TotalsSumEveryStayAndCountTheMismatches) {
  ExpiryCount timer;
  const PassPosition outside;
  Registration exact(timer, 1, outside), skipped(timer, 2, outside), twice(timer, 3, outside);
  expire(timer, 3);
  for (int i = 0; i < 3; ++i) exact.alerted();
  for (int i = 0; i < 2; ++i) skipped.alerted();  // a walk passed it over once
  for (int i = 0; i < 4; ++i) twice.alerted();    // alerted twice in one pass
  LedgerTotals totals;
  EXPECT_TRUE(totals.settle(exact, outside));
  EXPECT_FALSE(totals.settle(skipped, outside));
  EXPECT_FALSE(totals.settle(twice, outside));
  EXPECT_EQ(totals.registrations, 3);
  EXPECT_EQ(totals.due, 9);
  EXPECT_EQ(totals.delivered, 9);  // the sums alone would hide both faults
  EXPECT_EQ(totals.mismatches, 2);
}

}  // namespace
}  // namespace cadence::soak

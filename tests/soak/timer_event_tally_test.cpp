// The tally of Qt timer expiries: a followed QTimer's expiries are counted
// one for one with its timeout() signals, restarts included; during a
// timeout the tally names the QTimer being delivered; timers not followed,
// or no longer, are not counted.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "qt/function_slot.h"
#include "tests/soak/timer_event_tally.h"
#include "tests/support/test_application.h"

namespace cadence::soak {
namespace {

QCoreApplication& application() { return cadence::test::testApplication(); }

void runLoopFor(int ms) {
  qt::singleShot(ms, &application(), [] { QCoreApplication::quit(); });
  QCoreApplication::exec();
}

TEST(TimerEventTally, CountsAFollowedTimersExpiriesOneForOneWithItsTimeouts) {
  application();
  QElapsedTimer clock;
  clock.start();
  TimerEventTally tally(clock);
  QTimer followed, ignored;
  ExpiryCount count;
  int timeouts = 0, delivering = 0;
  const QObject* namedDuringIgnored = &ignored;
  qt::onTimeout(&followed, [&] {
    ++timeouts;
    if (tally.currentTimer() == &followed) ++delivering;
    if (timeouts == 5) followed.start(3);  // a restart takes a new timer id
  });
  qt::onTimeout(&ignored, [&] { namedDuringIgnored = tally.currentTimer(); });
  ASSERT_TRUE(tally.follow(&followed, &count));
  EXPECT_FALSE(tally.follow(&followed, &count));  // once
  EXPECT_FALSE(tally.follow(nullptr, &count));
  EXPECT_EQ(tally.followed(), 1u);
  followed.start(2);
  ignored.start(7);
  runLoopFor(150);
  EXPECT_GT(timeouts, 10);
  EXPECT_EQ(count.expiries(), timeouts);
  EXPECT_EQ(delivering, timeouts);
  EXPECT_EQ(namedDuringIgnored, &ignored);  // named, though not counted
  EXPECT_GT(count.lastExpiryNs(), 0);

  tally.stopFollowing(&followed);
  EXPECT_EQ(tally.followed(), 0u);
  const int64_t before = count.expiries();
  runLoopFor(30);
  EXPECT_EQ(count.expiries(), before);
}

}  // namespace
}  // namespace cadence::soak

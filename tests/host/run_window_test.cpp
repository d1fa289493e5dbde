// The run's window on a real event loop, and the listener that counts the
// alerts due in it: the loop ends with the window once every due alert came,
// waits past it for a late one, gives up after the grace time; alerts past
// the due ones are neither counted nor printed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <string>

#include "host/run_window.h"
#include "qt/function_slot.h"
#include "tests/support/test_application.h"

namespace cadence::host {
namespace {

QCoreApplication& application() { return cadence::test::testApplication(); }

// Runs a window of 200 ms whose one listener reports its last due alert
// after `doneAfterMs` (never when negative); returns how long the loop ran.
int64_t windowRanMs(int doneAfterMs) {
  application();
  RunWindow window(200, 1);
  QObject context;
  if (doneAfterMs >= 0) qt::singleShot(doneAfterMs, &context, [&] { window.listenerDone(); });
  QElapsedTimer clock;
  clock.start();
  window.run();
  return clock.elapsed();
}

TEST(RunWindow, EndsWithTheWindowWaitsForALateAlertAndGivesUpAfterTheGrace) {
  const int64_t early = windowRanMs(50);  // done before the window ended
  EXPECT_GE(early, 195);
  EXPECT_LT(early, 300);
  const int64_t late = windowRanMs(320);  // due alerts still coming after the window
  EXPECT_GE(late, 315);
  EXPECT_LT(late, 200 + graceMs(200));
  const int64_t never = windowRanMs(-1);
  EXPECT_GE(never, 200 + graceMs(200) - 5);
  EXPECT_LT(never, 200 + graceMs(200) + 150);
}

// What the listener printed.
std::string printed(std::FILE* file) {
  std::rewind(file);
  std::string text;
  char buffer[256];
  while (std::fgets(buffer, sizeof buffer, file)) text += buffer;
  return text;
}

TEST(HostTimerListener, CountsAndPrintsTheDueAlertsOnlyAndSaysWhenTheLastCame) {
  std::FILE* out = std::tmpfile();
  ASSERT_NE(out, nullptr);
  QElapsedTimer clock;
  clock.start();
  int lastDue = 0;
  HostTimerListener::Setup setup;
  setup.name = "\xE6\x97\xA5\xE6\x9C\xAC";  // two characters
  setup.periodMs = 100;
  setup.dueAlerts = 3;
  setup.nameColumns = 6;
  setup.out = out;
  setup.onLastDueAlert = [&] { ++lastDue; };
  HostTimerListener listener(std::move(setup), clock);
  listener.markStarted();
  for (int i = 0; i < 5; ++i) listener.alert();
  EXPECT_EQ(listener.stats().alerts(), 3);
  EXPECT_EQ(lastDue, 1);
  const std::string text = printed(out);
  std::fclose(out);
  EXPECT_NE(text.find(" ms  \xE6\x97\xA5\xE6\x9C\xAC      pass 1\n"), std::string::npos) << text;  // six, then two
  EXPECT_NE(text.find("pass 3\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("pass 4"), std::string::npos) << text;

  HostTimerListener::Setup none;  // a period longer than the window: nothing due
  none.name = "slow";
  none.periodMs = 5000;
  HostTimerListener idle(std::move(none), clock);
  idle.alert();
  EXPECT_EQ(idle.stats().alerts(), 0);
}

}  // namespace
}  // namespace cadence::host

// The window of a run and which alerts it counts: alert k of a timer is due
// k periods after the timer started, and a run counts the alerts due at or
// before the end of its window. The module's timers keep that schedule (an
// alert never comes early, and lateness does not add up), but a busy machine
// can hold the event loop up, so after the window the loop goes on until
// every counted alert has come, for at most a grace time. The counts are then
// the same on every run.
#pragma once

#include <cstdint>

#include <QObject>

namespace cadence::host {

// floor(window / period): the alerts due inside the window.
int32_t dueAlerts(int64_t windowMs, int periodMs);

// How long past the window the loop waits for counted alerts at most: 5 % of
// the window, plus 250 ms for the event loop's own delay.
int64_t graceMs(int64_t windowMs);

// Runs the Qt event loop (QCoreApplication::exec) over a window: it quits
// once the window is over and every listener with due alerts has had them
// all, or when the grace time after the window is over.
class RunWindow {
 public:
  RunWindow(int64_t windowMs, int listenersWithDueAlerts)
      : windowMs_(windowMs), pending_(listenersWithDueAlerts) {}
  RunWindow(const RunWindow&) = delete;
  RunWindow& operator=(const RunWindow&) = delete;

  // A listener's last due alert came.
  void listenerDone();
  void run();

 private:
  void quitIfDone();

  int64_t windowMs_;
  int pending_;
  bool windowOver_ = false;
  QObject timers_;  // context of the window's timers: they go with the window
};

}  // namespace cadence::host

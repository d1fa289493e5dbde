// The window of a run and the listeners that count its alerts. Alert k of a
// timer is due k periods after the timer started; a run counts the alerts
// due at or before the end of its window. The timers never alert early and
// lateness does not add up, but a busy machine can hold the event loop up,
// so after the window the loop waits, for at most a grace time, until every
// counted alert has come: the counts are the same on every run.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include <QElapsedTimer>
#include <QObject>

#include "cadencehost/timer_interfaces.h"
#include "reference_host.h"

namespace cadence::host {

// floor(window / period): the alerts due inside the window.
int32_t dueAlerts(int64_t windowMs, int periodMs);

// The longest wait past the window: 5 % of it, plus 250 ms for the loop's delay.
int64_t graceMs(int64_t windowMs);

// Runs the Qt event loop over a window: it quits once the window is over and
// every listener with due alerts has had them all, or after the grace time.
class RunWindow {
 public:
  RunWindow(int64_t windowMs, int listenersWithDueAlerts) : windowMs_(windowMs), pending_(listenersWithDueAlerts) {}
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

// `utf8` followed by the spaces that make it `columns` characters wide.
std::string padToColumns(const std::string& utf8, int columns);
int columnsOf(const std::string& utf8);  // its characters

// What a run learns about one timer from its alerts: how many, the mean
// period since the start, and the worst lateness against the schedule.
class AlertStats {
 public:
  explicit AlertStats(int periodMs) : periodNs_(static_cast<int64_t>(periodMs) * 1000000) {}

  // An alert `sinceStartNs` nanoseconds after the timer was started; returns
  // its pass number (1 for the first).
  int32_t record(int64_t sinceStartNs);

  int32_t alerts() const { return alerts_; }
  // Mean time between alerts, the first measured from the start; 0 without alerts.
  double meanPeriodMs() const;
  // The latest any alert came after its due time; 0 when none was late.
  double worstLatenessMs() const { return static_cast<double>(worstLateNs_) / 1e6; }

 private:
  int64_t periodNs_;
  int32_t alerts_ = 0;
  int64_t lastNs_ = 0;
  int64_t worstLateNs_ = 0;
};

// The listener of each timer: counts and times the due alerts and prints a
// line for each (milliseconds since the run began, timer name, pass number)
// unless quiet; alerts past the due ones are left out.
class HostTimerListener final : public Velmora::ITimerListener {
 public:
  static constexpr const char* kClassName = "HostTimerListener";

  struct Setup {
    std::string name;  // UTF-8
    int periodMs = 0;
    int32_t dueAlerts = 0;                 // the alerts counted; later ones are left out
    int nameColumns = 0;                   // the name is padded to this many characters
    std::FILE* out = nullptr;              // null: quiet
    std::function<void()> onLastDueAlert;  // called when the last due alert came
  };

  // `clock` runs from the start of the run.
  HostTimerListener(Setup setup, const QElapsedTimer& clock);

  // Call right after starting the timer: the schedule counts from here.
  void markStarted() { startNs_ = clock_.nsecsElapsed(); }

  void alert() override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

  const std::string& name() const { return setup_.name; }
  int periodMs() const { return setup_.periodMs; }
  int32_t dueAlerts() const { return setup_.dueAlerts; }
  const AlertStats& stats() const { return stats_; }

 private:
  LiveToken token_{LiveKind::listener};
  Setup setup_;
  std::string paddedName_;
  const QElapsedTimer& clock_;
  int64_t startNs_ = 0;
  AlertStats stats_;
};

}  // namespace cadence::host

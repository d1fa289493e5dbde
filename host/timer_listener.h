// The listener the host registers with each timer: counts the alerts, keeps
// their statistics and prints one line per alert (elapsed milliseconds since
// the run began, timer name, pass number) unless told to be quiet.
#pragma once

#include <cstdio>
#include <string>

#include <QElapsedTimer>

#include "cadencehost/timer_interfaces.h"
#include "host/alert_stats.h"
#include "host/live_objects.h"

namespace cadence::host {

class HostTimerListener final : public Velmora::ITimerListener {
 public:
  static constexpr const char* kClassName = "HostTimerListener";

  // `clock` runs from the start of the run; `out` null means quiet.
  HostTimerListener(std::string name, int periodMs, const QElapsedTimer& clock, std::FILE* out,
                    int nameWidth);

  // Call right after starting the timer: the schedule counts from here.
  void markStarted() { startNs_ = clock_.nsecsElapsed(); }

  void alert() override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

  const std::string& name() const { return name_; }
  int periodMs() const { return periodMs_; }
  const AlertStats& stats() const { return stats_; }

 private:
  LiveToken token_{LiveKind::listener};
  std::string name_;
  int periodMs_;
  const QElapsedTimer& clock_;
  std::FILE* out_;
  int nameWidth_;
  int64_t startNs_ = 0;
  AlertStats stats_;
};

}  // namespace cadence::host

// What a run learns about one timer from its alerts: how many, the mean
// period since the timer was started, and the worst lateness against the
// schedule (alert k is due k periods after the start).
#pragma once

#include <cstdint>

namespace cadence::host {

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

}  // namespace cadence::host

// Alert statistics of one timer.
#include "alert_stats.h"

namespace cadence::host {

int32_t AlertStats::record(int64_t sinceStartNs) {
  ++alerts_;
  lastNs_ = sinceStartNs;
  const int64_t late = sinceStartNs - periodNs_ * alerts_;
  if (late > worstLateNs_) worstLateNs_ = late;
  return alerts_;
}

double AlertStats::meanPeriodMs() const {
  return alerts_ == 0 ? 0.0 : static_cast<double>(lastNs_) / 1e6 / alerts_;
}

}  // namespace cadence::host

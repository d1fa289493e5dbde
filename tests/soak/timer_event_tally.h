// Counts the expiries of Qt timers from outside them: an event filter on the
// application sees every timer event before it reaches its QTimer, so it can
// count the expiries of the QTimers it follows (one timeout() each) and tell,
// during an alert, which QTimer's expiry is being delivered.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <cstddef>
#include <unordered_map>

#include "tests/soak/alert_ledger.h"

namespace cadence::soak {

class TimerEventTally final : public QObject {
 public:
  // Installs itself on the application; `clock` stamps the expiries.
  explicit TimerEventTally(const QElapsedTimer& clock);
  ~TimerEventTally() override;

  // The QTimer whose expiry is being delivered right now, or null.
  const QObject* currentTimer() const { return current_; }
  // From now on each expiry of `qtTimer` is noted in `count` (false when
  // the QTimer is followed already).
  bool follow(const QObject* qtTimer, ExpiryCount* count);
  void stopFollowing(const QObject* qtTimer);
  size_t followed() const { return followed_.size(); }

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  const QElapsedTimer& clock_;
  const QObject* current_ = nullptr;
  std::unordered_map<const QObject*, ExpiryCount*> followed_;
};

}  // namespace cadence::soak

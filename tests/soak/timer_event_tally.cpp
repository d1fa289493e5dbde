// The application-wide filter that counts Qt timer expiries.
#include "tests/soak/timer_event_tally.h"

#include <QCoreApplication>
#include <QTimer>
#include <QTimerEvent>

namespace cadence::soak {

TimerEventTally::TimerEventTally(const QElapsedTimer& clock) : clock_(clock) {
  QCoreApplication::instance()->installEventFilter(this);
}

TimerEventTally::~TimerEventTally() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

bool TimerEventTally::follow(const QObject* qtTimer, ExpiryCount* count) {
  return qtTimer && followed_.emplace(qtTimer, count).second;
}

void TimerEventTally::stopFollowing(const QObject* qtTimer) {
  followed_.erase(qtTimer);
  if (current_ == qtTimer) current_ = nullptr;
}

bool TimerEventTally::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Timer) return false;
  // A QTimer emits timeout() for an event of its current timer id only.
  auto* timer = qobject_cast<QTimer*>(watched);
  if (!timer || static_cast<QTimerEvent*>(event)->timerId() != timer->timerId()) {
    current_ = nullptr;
    return false;
  }
  current_ = timer;
  auto it = followed_.find(timer);
  if (it != followed_.end()) it->second->noteExpiry(clock_.nsecsElapsed());
  return false;
}

}  // namespace cadence::soak

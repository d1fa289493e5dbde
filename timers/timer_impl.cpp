// Velmora::TimerImpl: listener bookkeeping, the alert pass, the Qt timer
// controls and the query table.
#include "timers/timer_impl.h"

#include "cadencehost/vel_query.h"
#include "qt/qt_versions.h"

namespace Velmora {

TimerImpl::TimerImpl() : QObject(nullptr), timer_(nullptr) {
  // Expiry k is due k intervals after the start, never early, and lateness
  // does not add up: Qt 4's schedule, on every Qt.
  cadence::qt::keepFixedSchedule(timer_);
  // Qt's text form of the two ends ("2timeout()", "1alertListeners()"); the
  // result is not looked at. Running out of memory inside it ends the
  // process here: Qt leaves a half-made connection that unwinding this
  // object through it would trip over.
  cadence::guard::failForGoodOnBadAlloc(
      [&] { QObject::connect(&timer_, SIGNAL(timeout()), this, SLOT(alertListeners())); });
}

TimerImpl::~TimerImpl() {
  // The set is emptied before any listener hears of it, so a listener that
  // calls back into this timer while being released finds no listeners.
  listeners_.drain([](ITimerListener* listener) { listener->releaseRef(); });
  // timer_ goes next (Qt stops it), then the QObject base drops the connection.
}

void TimerImpl::addListener(ITimerListener* listener) {
  if (!listener || listeners_.contains(listener)) return;
  listeners_.reserveOneMore();  // the only step that allocates comes first
  listener->addRef();
  listeners_.insertNew(listener);
}

bool TimerImpl::removeListener(ITimerListener* listener) {
  if (!listener || !listeners_.erase(listener)) return false;
  listener->releaseRef();
  return true;
}

// Qt allocates when it registers a timer; running out there ends the process
// the guarded way rather than in an exception through the host.
void TimerImpl::start(int intervalMs) {
  cadence::guard::failForGoodOnBadAlloc([&] { timer_.start(intervalMs); });
}

void TimerImpl::stop() { timer_.stop(); }

void TimerImpl::setInterval(int intervalMs) {
  cadence::guard::failForGoodOnBadAlloc([&] { timer_.setInterval(intervalMs); });
}

void TimerImpl::endPutOffPass() {
  const PutOff putOff = putOff_;
  putOff_ = PutOff::kNothing;
  // A local count may have been taken again later in the pass.
  if (putOff == PutOff::kHostAsked || refCount == 0) destroy();
}

void TimerImpl::releaseRef() {
  if (!releaseCount()) return;
  if (passDepth_ == 0) {
    destroy();
    return;
  }
  // The destruction waits until the pass is over.
  putOff_ = g_host ? PutOff::kHostAsked : PutOff::kCountAtZero;
}

void TimerImpl::queryInterface(const char* name, void* target) {
  velAnswerQuery<ITimer>(this, kClassName, name, target);
}

}  // namespace Velmora

// Velmora::TimerImpl: a repeating Qt timer that alerts its registered
// listeners, in ascending order of their pointer values, each time it expires.
// It is at once a QObject (so Qt can deliver the expiry as a slot call) and a
// reference-counted framework object handed out as Velmora::ITimer.
#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>

#include "cadencehost/timer_interfaces.h"
#include "memory/guarded_new.h"
#include "timers/listener_set.h"

namespace Velmora {

// The second base is written unqualified on purpose: the meta-object
// compiler answers qt_metacast for each further base by the name as written,
// so "ITimer" yields the ITimer part, next to "Velmora::TimerImpl" for the
// object itself; every other name goes on to QObject.
// Made the guarded way (GuardedNew): running out of memory for a timer ends
// the process through the report, never in an exception through the host.
class TimerImpl : public QObject, public virtual ITimer, public cadence::guard::GuardedNew {
  Q_OBJECT

 public:
  // A stopped timer with no listeners and reference count 0, owned by the
  // calling thread.
  TimerImpl();
  // Releases every listener (ascending order); the member QTimer stops as it
  // is destroyed, so no further alert is delivered.
  ~TimerImpl() override;

  TimerImpl(const TimerImpl&) = delete;
  TimerImpl& operator=(const TimerImpl&) = delete;

  // ITimer. A null listener is ignored (removeListener answers false).
  void addListener(ITimerListener* listener) override;
  bool removeListener(ITimerListener* listener) override;
  // Intervals go to Qt unchanged; Qt refuses negative ones. Expiry k of a
  // start is due k intervals after it, never comes early, and lateness does
  // not add up from one expiry to the next.
  void start(int intervalMs) override;
  void stop() override;
  void setInterval(int intervalMs) override;

  // IVelUnknown. During an alert pass the release that would destroy the
  // timer only marks it: the timer goes when the outermost pass is over.
  void releaseRef() override;
  void queryInterface(const char* name, void* target) override;
  static constexpr const char* kClassName = "TimerImpl";
  const char* getClassName() override { return kClassName; }

  // State, for clients of this class (the service) and tests.
  bool isRunning() const { return timer_.isActive(); }
  int interval() const { return timer_.interval(); }
  int listenerCount() const { return listeners_.size(); }

 private slots:
  // One alert pass over the live listener set; connected to timeout(). A
  // listener may drop the timer's last reference (see releaseRef); the timer
  // then goes right after the pass. A pass takes no reference itself, so a
  // host's count sees no traffic from it.
  void alertListeners();

 private:
  // The end of the outermost pass during which a destroying release came.
  void endPutOffPass();

  QTimer timer_;
  ListenerSet listeners_;
  // A destroying release that came during a pass: the host's hook asked for
  // the destruction, or the local count reached zero.
  enum class PutOff : uint8_t { kNothing, kHostAsked, kCountAtZero };
  int passDepth_ = 0;  // alert passes running (a listener may run a nested one)
  PutOff putOff_ = PutOff::kNothing;
};

inline void TimerImpl::alertListeners() {
  ++passDepth_;
  listeners_.forEachLive([](ITimerListener* listener) { listener->alert(); });
  if (--passDepth_ == 0 && putOff_ != PutOff::kNothing) [[unlikely]]
    endPutOffPass();
}

}  // namespace Velmora

// The receiving ends the timer fidelity benchmark wires plain QTimers to, by
// Qt's text form as TimerImpl is wired. (Namespaces one by one: Qt 4's moc
// reads no nested namespace names, in this header or any it includes.)
#pragma once

#include <QObject>
#include <QTimer>

#include <vector>

#include "cadencehost/timer_interfaces.h"
#include "qt/qt_versions.h"

namespace cadence {
namespace bench {

// A slot of a second object that records the expiry itself.
class ProbeSlot : public QObject {
  Q_OBJECT

 public:
  typedef void (*Hit)(void* probe, int index);
  ProbeSlot(Hit hit, void* probe, int index) : hit_(hit), probe_(probe), index_(index) {}

 public slots:
  void fire() { hit_(probe_, index_); }

 private:
  Hit hit_;
  void* probe_;
  int index_;
};

// TimerImpl's wiring without the library's code: a QTimer held by value,
// connected by Qt's text form to a slot of the holder, which alerts its
// listeners, kept in a vector of pointers, in order. The timer keeps a fixed
// schedule as TimerImpl's does, or has Qt's default type.
class HeldTimer : public QObject {
  Q_OBJECT

 public:
  explicit HeldTimer(bool fixedSchedule) : timer(nullptr) {
    if (fixedSchedule) cadence::qt::keepFixedSchedule(timer);
    QObject::connect(&timer, SIGNAL(timeout()), this, SLOT(fire()));
  }

 public slots:
  void fire() {
    for (Velmora::ITimerListener* listener : listeners) listener->alert();
  }

 public:
  QTimer timer;
  std::vector<Velmora::ITimerListener*> listeners;
};

}  // namespace bench
}  // namespace cadence

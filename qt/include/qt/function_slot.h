// Signals to plain functions on every Qt. Qt 4 connects a signal only to a
// slot named in text form, so code that would connect a lambda connects the
// slot of a FunctionSlot that calls it instead.
#pragma once

#include <functional>

#include <QObject>
#include <QTimer>

// (Namespaces one by one: Qt 4's moc reads no nested namespace names.)
namespace cadence {
namespace qt {

// A QObject whose slot call() runs the function it was made with.
class FunctionSlot : public QObject {
  Q_OBJECT

 public:
  FunctionSlot(std::function<void()> function, QObject* parent);

 public slots:
  void call();

 private:
  std::function<void()> function_;
};

// Runs `function` at each expiry of `timer` (until the timer goes).
void onTimeout(QTimer* timer, std::function<void()> function);

// Runs `function` once, `ms` milliseconds from now, on the event loop of the
// thread that calls this, unless `context` is destroyed first. The timer keeps
// a fixed schedule (keepFixedSchedule).
void singleShot(int ms, QObject* context, std::function<void()> function);

}  // namespace qt
}  // namespace cadence

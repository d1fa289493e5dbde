// FunctionSlot and the timer helpers built on it.
#include "qt/function_slot.h"

#include <utility>

#include "qt/qt_versions.h"

namespace cadence::qt {

FunctionSlot::FunctionSlot(std::function<void()> function, QObject* parent)
    : QObject(parent), function_(std::move(function)) {}

void FunctionSlot::call() { function_(); }

void onTimeout(QTimer* timer, std::function<void()> function) {
  QObject::connect(timer, SIGNAL(timeout()), new FunctionSlot(std::move(function), timer), SLOT(call()));
}

void singleShot(int ms, QObject* context, std::function<void()> function) {
  QTimer* timer = new QTimer(context);
  timer->setSingleShot(true);
  keepFixedSchedule(*timer);
  onTimeout(timer, [timer, function = std::move(function)] {
    timer->deleteLater();
    function();
  });
  timer->start(ms);
}

}  // namespace cadence::qt

// The run's window on the Qt event loop.
#include "run_window.h"

#include <QCoreApplication>

#include "qt/function_slot.h"

namespace cadence::host {

int32_t dueAlerts(int64_t windowMs, int periodMs) {
  if (windowMs <= 0 || periodMs <= 0) return 0;
  return static_cast<int32_t>(windowMs / periodMs);
}

int64_t graceMs(int64_t windowMs) { return windowMs / 20 + 250; }

void RunWindow::listenerDone() {
  if (pending_ > 0) --pending_;
  quitIfDone();
}

void RunWindow::quitIfDone() {
  if (windowOver_ && pending_ == 0) QCoreApplication::quit();
}

void RunWindow::run() {
  qt::singleShot(static_cast<int>(windowMs_), &timers_, [this] {
    windowOver_ = true;
    quitIfDone();
  });
  qt::singleShot(static_cast<int>(windowMs_ + graceMs(windowMs_)), &timers_, [] { QCoreApplication::quit(); });
  QCoreApplication::exec();
}

}  // namespace cadence::host

// The run's window on the Qt event loop, and the host's timer listener.
#include "run_window.h"

#include <QCoreApplication>

#include "cadencehost/vel_query.h"
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

int columnsOf(const std::string& utf8) {
  int characters = 0;
  for (const char byte : utf8) characters += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;  // not continuations
  return characters;
}

std::string padToColumns(const std::string& utf8, int columns) {
  const int missing = columns - columnsOf(utf8);
  return missing > 0 ? utf8 + std::string(static_cast<size_t>(missing), ' ') : utf8;
}

int32_t AlertStats::record(int64_t sinceStartNs) {
  ++alerts_;
  lastNs_ = sinceStartNs;
  const int64_t late = sinceStartNs - periodNs_ * alerts_;
  if (late > worstLateNs_) worstLateNs_ = late;
  return alerts_;
}

double AlertStats::meanPeriodMs() const { return alerts_ == 0 ? 0.0 : static_cast<double>(lastNs_) / 1e6 / alerts_; }

HostTimerListener::HostTimerListener(Setup setup, const QElapsedTimer& clock)
    : setup_(std::move(setup)),
      paddedName_(padToColumns(setup_.name, setup_.nameColumns)),
      clock_(clock),
      stats_(setup_.periodMs) {}

void HostTimerListener::alert() {
  if (stats_.alerts() >= setup_.dueAlerts) return;  // due after the window
  const int64_t nowNs = clock_.nsecsElapsed();
  const int32_t pass = stats_.record(nowNs - startNs_);
  if (setup_.out) {
    std::fprintf(setup_.out, "%8lld ms  %s  pass %d\n", static_cast<long long>(nowNs / 1000000), paddedName_.c_str(),
                 pass);
  }
  if (pass == setup_.dueAlerts && setup_.onLastDueAlert) setup_.onLastDueAlert();
}

void HostTimerListener::queryInterface(const char* name, void* target) {
  velAnswerQuery<Velmora::ITimerListener>(this, kClassName, name, target);
}

}  // namespace cadence::host

// The host's timer listener.
#include "host/timer_listener.h"

#include "cadencehost/vel_query.h"
#include "host/terminal_columns.h"

namespace cadence::host {

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
    std::fprintf(setup_.out, "%8lld ms  %s  pass %d\n", static_cast<long long>(nowNs / 1000000),
                 paddedName_.c_str(), pass);
  }
  if (pass == setup_.dueAlerts && setup_.onLastDueAlert) setup_.onLastDueAlert();
}

void HostTimerListener::queryInterface(const char* name, void* target) {
  velAnswerQuery<Velmora::ITimerListener>(this, kClassName, name, target);
}

}  // namespace cadence::host

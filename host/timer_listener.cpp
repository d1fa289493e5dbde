// The host's timer listener.
#include "host/timer_listener.h"

#include "host/host_query.h"

namespace cadence::host {

HostTimerListener::HostTimerListener(std::string name, int periodMs, const QElapsedTimer& clock,
                                     std::FILE* out, int nameWidth)
    : name_(std::move(name)),
      periodMs_(periodMs),
      clock_(clock),
      out_(out),
      nameWidth_(nameWidth),
      stats_(periodMs) {}

void HostTimerListener::alert() {
  const int64_t nowNs = clock_.nsecsElapsed();
  const int32_t pass = stats_.record(nowNs - startNs_);
  if (out_) {
    std::fprintf(out_, "%8lld ms  %-*s  pass %d\n", static_cast<long long>(nowNs / 1000000), nameWidth_,
                 name_.c_str(), pass);
  }
}

void HostTimerListener::queryInterface(const char* name, void* target) {
  answerQuery<Velmora::ITimerListener>(this, kClassName, "ITimerListener", name, target);
}

}  // namespace cadence::host

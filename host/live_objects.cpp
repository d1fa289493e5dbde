// The live-object tally of the host.
#include "live_objects.h"

namespace cadence::host {
namespace {

std::atomic<int32_t>& counterFor(LiveKind kind) {
  static std::atomic<int32_t> services{0};
  static std::atomic<int32_t> listeners{0};
  return kind == LiveKind::service ? services : listeners;
}

}  // namespace

int32_t liveCount(LiveKind kind) { return counterFor(kind).load(); }

LiveToken::LiveToken(LiveKind kind) : kind_(kind) { counterFor(kind_).fetch_add(1); }

LiveToken::~LiveToken() { counterFor(kind_).fetch_sub(1); }

}  // namespace cadence::host

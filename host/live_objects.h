// The host's own tally of the objects it created and that are still alive,
// by kind. A LiveToken member adds one on construction and removes it on
// destruction, so the tally cannot drift from the objects themselves.
#pragma once

#include <atomic>
#include <cstdint>

namespace cadence::host {

enum class LiveKind { service, listener };

int32_t liveCount(LiveKind kind);

class LiveToken {
 public:
  explicit LiveToken(LiveKind kind);
  ~LiveToken();
  LiveToken(const LiveToken&) = delete;
  LiveToken& operator=(const LiveToken&) = delete;

 private:
  LiveKind kind_;
};

}  // namespace cadence::host

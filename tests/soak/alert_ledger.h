// The soak's account of alerts, exact rather than by the clock. Every expiry
// of a timer object's Qt timer is counted (TimerEventTally); a listener is
// due exactly the expiries of its timer that came while it was in the
// timer's set, with the walk's same-pass rule at the edges: added during a
// pass of its own timer, it is due that pass when its key is above the key
// being alerted; removed during one, it is not due that pass when its key is
// above. A listener skipped by a walk, alerted twice in a pass, or kept after
// its removal shows up as delivered != due when its registration ends.
#pragma once

#include <cstdint>
#include <string>

namespace cadence::soak {

// The expiries of one timer object as its listeners see them.
class ExpiryCount {
 public:
  void noteExpiry(int64_t nowNs) {
    ++expiries_;
    lastNs_ = nowNs;
  }
  int64_t expiries() const { return expiries_; }
  int64_t lastExpiryNs() const { return lastNs_; }  // 0 before the first

 private:
  int64_t expiries_ = 0;
  int64_t lastNs_ = 0;
};

// Where an alert pass is right now: the timer being walked and the key of the
// listener being alerted, or nothing outside an alert.
struct PassPosition {
  const ExpiryCount* timer = nullptr;
  uintptr_t key = 0;

  // The listener with `key` on `timer` is past the walk's position: this
  // pass reaches it only if it is in the set when its turn comes.
  bool aheadOfTheWalk(const ExpiryCount& on, uintptr_t listenerKey) const { return timer == &on && listenerKey > key; }
};

// One listener's stay in one timer's set.
class Registration {
 public:
  // The listener with `key` joins `timer`'s set while the walk is at `now`.
  Registration(const ExpiryCount& timer, uintptr_t key, const PassPosition& now)
      : timer_(timer), key_(key), firstDue_(timer.expiries() - (now.aheadOfTheWalk(timer, key) ? 1 : 0)) {}

  void alerted() { ++alerts_; }
  int64_t alerts() const { return alerts_; }
  // The alerts due if the listener leaves the set while the walk is at `now`.
  int64_t dueOnLeaving(const PassPosition& now) const {
    return timer_.expiries() - (now.aheadOfTheWalk(timer_, key_) ? 1 : 0) - firstDue_;
  }

 private:
  const ExpiryCount& timer_;
  uintptr_t key_;
  int64_t firstDue_;  // expiries before the first one due
  int64_t alerts_ = 0;
};

// Every settled registration, summed.
struct LedgerTotals {
  int64_t registrations = 0;
  int64_t due = 0;
  int64_t delivered = 0;
  int64_t mismatches = 0;
  std::string firstMismatch;  // which listener, and its figures (filled by the caller)

  // Adds one registration that ended while the walk was at `now`; false when
  // its alerts differ from its due ones.
  bool settle(const Registration& registration, const PassPosition& now);
};

}  // namespace cadence::soak

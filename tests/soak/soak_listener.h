// A listener of the soak: counts its alerts into its registration and, by
// its role, now and then changes the timers from inside its own alert
// (removes itself, adds or removes a listener, removes or replaces its own
// timer, makes texts). The timer's reference is its only one, so it is
// destroyed when it leaves the set, which settles its registration.
#pragma once

#include <cstdint>
#include <memory>

#include "cadencehost/timer_interfaces.h"
#include "host/reference_host.h"
#include "tests/soak/alert_ledger.h"
#include "tests/soak/soak_timer.h"

namespace cadence::soak {

enum class ListenerRole : uint8_t {
  anchor,          // in its timer's set for the timer's whole life
  plain,           // only counts
  selfRemover,     // removes itself during its own alert
  adder,           // adds a listener to its own timer during its alert
  siblingRemover,  // removes another listener of its own timer during its alert
  crossAdder,      // adds a listener to another timer during its alert
  timerRemover,    // removes or replaces its own timer during its alert
  texter,          // makes and drops texts during its alert
};
const char* roleName(ListenerRole role);

class SoakPopulation;

class SoakListener final : public Velmora::ITimerListener {
 public:
  // Call addListener right after: the registration counts from here, the
  // walk being at `now`.
  SoakListener(SoakPopulation& population, std::shared_ptr<SoakTimer> timer, ListenerRole role,
               const PassPosition& now);
  ~SoakListener() override;
  SoakListener(const SoakListener&) = delete;
  SoakListener& operator=(const SoakListener&) = delete;

  void alert() override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return "SoakListener"; }

  // The key the timer orders its set by.
  uintptr_t key() const { return reinterpret_cast<uintptr_t>(static_cast<const Velmora::ITimerListener*>(this)); }
  ListenerRole role() const { return role_; }
  SoakTimer& timer() { return *timer_; }
  const std::shared_ptr<SoakTimer>& sharedTimer() const { return timer_; }
  Registration& registration() { return registration_; }

 private:
  host::LiveToken token_{host::LiveKind::listener};
  SoakPopulation& population_;
  std::shared_ptr<SoakTimer> timer_;
  ListenerRole role_;
  Registration registration_;
};

}  // namespace cadence::soak

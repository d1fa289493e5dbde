// What the soak knows about one timer object of the module: its name and
// period, whether it is registered and running as far as the soak has asked,
// its expiries (counted from its Qt timer, see TimerEventTally) and the
// listeners in its set. Shared by the name's slot (while registered), a hold
// (while the soak keeps it unregistered) and each of its listeners.
#pragma once

#include <QObject>

#include <cstdint>
#include <string>
#include <vector>

#include "cadencehost/timer_interfaces.h"
#include "tests/soak/alert_ledger.h"

namespace cadence::soak {

class SoakListener;

struct SoakTimer {
  SoakTimer(std::string timerName, int slotIndex, int period, bool isSteady)
      : name(std::move(timerName)), slot(slotIndex), periodMs(period), steady(isSteady) {
    ++aliveCount();
  }
  ~SoakTimer() { --aliveCount(); }
  SoakTimer(const SoakTimer&) = delete;
  SoakTimer& operator=(const SoakTimer&) = delete;

  // SoakTimer objects alive: none once every timer and listener is gone.
  static int64_t& aliveCount() {
    static int64_t count = 0;
    return count;
  }

  // Sets the running state the soak expects after start() or setInterval().
  void runningFrom(int64_t nowNs) {
    running = true;
    runningSinceNs = nowNs;
    silenceReported = false;
  }

  std::string name;
  int slot;
  int periodMs;
  bool steady;  // registered and running for the whole soak
  Velmora::ITimer* timer = nullptr;
  bool registered = true;
  bool running = false;
  int64_t runningSinceNs = 0;
  bool destroyed = false;  // its timer object released its listeners
  bool silenceReported = false;
  const QObject* qtTimer = nullptr;  // learnt at its first alert
  ExpiryCount expiries;
  SoakListener* anchor = nullptr;  // never removed: goes only with the timer object
  std::vector<SoakListener*> listeners;
};

}  // namespace cadence::soak

// The soak's timers and listeners on one Qt event loop: a few hundred named
// timers of 1 to 50 ms, a quarter of them steady (registered and running
// from start to end), the rest churned: created, replaced by name, removed
// (some held unregistered a while, restarted, then let go), restarted,
// stopped and started, given new intervals; listeners added and removed,
// some during their own alerts. It keeps the ledger of alerts delivered
// against due, watches that no running timer falls silent, and checks the
// registry against what it should hold.
#pragma once

#include <QElapsedTimer>

#include <cstdint>
#include <list>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_interfaces.h"
#include "cadencehost/vel_ptr.h"
#include "host/reference_host.h"
#include "tests/soak/alert_ledger.h"
#include "tests/soak/soak_listener.h"
#include "tests/soak/text_churn.h"
#include "tests/soak/timer_event_tally.h"

namespace cadence::soak {

// Faults the soak can be told to make, to show that its checks catch them.
enum class Fault { none, dropAlert, stopTimer, leakListener, growMemory, keepOwnPool };

inline constexpr int kMinPeriodMs = 1;
inline constexpr int kMaxPeriodMs = 50;
inline constexpr int kMaxListenersPerTimer = 6;
// A running timer may go this long past 1.05 periods without an expiry.
inline constexpr int64_t kSilenceBoundMs = 2000;

struct ChurnCounts {
  int64_t created = 0, replaced = 0, removed = 0, held = 0, heldRestarted = 0;
  int64_t restarted = 0, stopped = 0, intervalsSet = 0;
  int64_t listenersAdded = 0, listenersRemoved = 0, removedInOwnAlert = 0, addedInAlert = 0;
  int64_t timersRemovedInOwnAlert = 0, registryChecks = 0;
};

// The clock's view of the steady timers: expiries against floor(elapsed /
// period). Qt drops an expiry it cannot deliver within a period (it
// reschedules from the late one), so short periods get fewer on a loaded
// machine; periods of 20 ms and more must reach kSteadyShare of what the
// clock allows at 5 % coarseness.
inline constexpr double kSteadyShare = 0.8;
struct SteadyFigures {
  int64_t expiries = 0;
  int64_t scheduled = 0;
  double lowestShareAt20 = 0;  // lowest expiries / what the clock allows at 1.05x the period, periods >= 20 ms
  std::string lowestName;
};

class SoakPopulation {
 public:
  struct Config {
    int timers = 300;
    uint32_t seed = 1;
    Fault fault = Fault::none;
  };

  SoakPopulation(Velmora::ITimerServiceV2& service, IShutdownListener& shutdown, host::ReferenceHost& host,
                 const QElapsedTimer& clock, const Config& config);
  ~SoakPopulation();
  SoakPopulation(const SoakPopulation&) = delete;
  SoakPopulation& operator=(const SoakPopulation&) = delete;

  // Creates and starts every timer (the steady ones stay as they are).
  void start();
  // One round of churn, from the churn timer.
  void churn();
  // Every running timer had an expiry lately; the registry holds what it should.
  void check();
  // Stops every timer the soak knows and processes events for a moment:
  // none may alert. Then removes every registered timer and lets the held
  // ones go; afterwards no timer or listener of the soak is alive.
  void finish();
  // The leak fault's extra reference goes back (after the soak has counted
  // the listener as alive), so a sanitizer finds no leak at exit.
  void giveBackLeakedReference();
  // Registers a name of the soak's own and removes it again: one pooled
  // block in the module (an entry with its copy of the name).
  void registerProbeName();
  // Pooled blocks the module surely allocated: one entry per name newly
  // registered (a replacement keeps its entry).
  int64_t moduleEntriesMade() const { return counts_.created - counts_.replaced + probeNames_; }

  // For the listeners.
  void alerted(SoakListener& listener);
  void leaving(SoakListener& listener);

  // Figures.
  int64_t alerts() const { return alerts_; }
  const LedgerTotals& ledger() const { return ledger_; }
  const ChurnCounts& churnCounts() const { return counts_; }
  const SteadyFigures& steady() const { return steady_; }
  const TextChurn& texts() const { return texts_; }
  double longestSilenceOverMs() const { return static_cast<double>(longestSilenceOverNs_) / 1e6; }
  int64_t alertsAfterShutdown() const { return alertsAfterShutdown_; }
  size_t followedTimers() const { return tally_.followed(); }
  int timerCount() const { return static_cast<int>(slots_.size()); }
  int steadyCount() const { return steadyCount_; }
  // Problems found, in the order found (the first few of each kind).
  const std::vector<std::string>& failures() const { return failures_; }
  void fail(const std::string& what);

 private:
  struct Slot {
    std::string name;
    bool steady = false;
    std::shared_ptr<SoakTimer> current;  // registered under the name
  };
  struct Held {
    IPtr<Velmora::ITimer> reference;
    std::shared_ptr<SoakTimer> timer;
    int64_t releaseAtNs;
  };

  int64_t nowNs() const { return clock_.nsecsElapsed(); }
  bool chance(double probability) { return std::uniform_real_distribution<double>(0, 1)(random_) < probability; }
  int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  int randomPeriod() { return between(kMinPeriodMs, kMaxPeriodMs); }
  ListenerRole randomExtraRole();
  Slot& randomChurnSlot();

  void createTimer(Slot& slot);
  void removeTimer(Slot& slot, bool hold, bool counted = true);
  void restart(SoakTimer& timer, int periodMs);
  SoakListener* attach(const std::shared_ptr<SoakTimer>& timer, ListenerRole role);
  bool detach(SoakTimer& timer, SoakListener* listener);
  SoakListener* randomListener(SoakTimer& timer, const SoakListener* except);
  void actOnAlert(SoakListener& listener);
  void churnHeld();
  void checkRegistry(const Slot& slot);
  void injectFault();
  void measureSteady();

  Velmora::ITimerServiceV2& service_;
  IShutdownListener& shutdown_;
  host::ReferenceHost& host_;
  const QElapsedTimer& clock_;
  Config config_;
  std::mt19937 random_;
  TimerEventTally tally_;
  std::vector<Slot> slots_;
  std::list<Held> held_;
  int steadyCount_ = 0;
  PassPosition position_;  // where the alert being delivered is
  LedgerTotals ledger_;
  ChurnCounts counts_;
  SteadyFigures steady_;
  TextChurn texts_;
  int64_t alerts_ = 0;
  int64_t probeNames_ = 0;
  int64_t alertsAfterShutdown_ = 0;
  int64_t longestSilenceOverNs_ = 0;
  int64_t startNs_ = 0;
  bool faultDone_ = false;
  bool dropNextAlert_ = false;
  SoakListener* leaked_ = nullptr;
  std::vector<std::string> failures_;
  int64_t failureCount_ = 0;
};

}  // namespace cadence::soak

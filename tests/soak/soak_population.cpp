// The soak's population of timers and listeners, its churn and its checks.
#include "tests/soak/soak_population.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "cadencehost/vel_cstring.h"

namespace cadence::soak {
namespace {

// How many problems of the soak are listed; the rest are only counted.
constexpr size_t kListedFailures = 8;
constexpr int kMaxHeld = 16;
constexpr int64_t kNsPerMs = 1000000;

// Sets where the walk is for the span of one alert.
class PassScope {
 public:
  PassScope(PassPosition& position, PassPosition now) : position_(position), saved_(position) { position_ = now; }
  ~PassScope() { position_ = saved_; }
  PassScope(const PassScope&) = delete;
  PassScope& operator=(const PassScope&) = delete;

 private:
  PassPosition& position_;
  PassPosition saved_;
};

}  // namespace

SoakPopulation::SoakPopulation(Velmora::ITimerServiceV2& service, IShutdownListener& shutdown,
                               host::ReferenceHost& host, const QElapsedTimer& clock, const Config& config)
    : service_(service),
      shutdown_(shutdown),
      host_(host),
      clock_(clock),
      config_(config),
      random_(config.seed),
      tally_(clock) {
  slots_.resize(static_cast<size_t>(std::max(config_.timers, 4)));
  steadyCount_ = static_cast<int>(slots_.size()) / 4;
  for (size_t i = 0; i < slots_.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "soak-%03zu", i);
    slots_[i].name = name;
    slots_[i].steady = static_cast<int>(i) < steadyCount_;
  }
}

SoakPopulation::~SoakPopulation() = default;

void SoakPopulation::fail(const std::string& what) {
  ++failureCount_;
  if (failures_.size() < kListedFailures) failures_.push_back(what);
}

ListenerRole SoakPopulation::randomExtraRole() {
  static constexpr ListenerRole kExtras[] = {
      ListenerRole::plain,          ListenerRole::plain,      ListenerRole::selfRemover,  ListenerRole::adder,
      ListenerRole::siblingRemover, ListenerRole::crossAdder, ListenerRole::timerRemover, ListenerRole::texter};
  return kExtras[between(0, static_cast<int>(std::size(kExtras)) - 1)];
}

SoakPopulation::Slot& SoakPopulation::randomChurnSlot() {
  return slots_[static_cast<size_t>(between(steadyCount_, static_cast<int>(slots_.size()) - 1))];
}

void SoakPopulation::start() {
  startNs_ = nowNs();
  for (Slot& slot : slots_) createTimer(slot);
}

SoakListener* SoakPopulation::attach(const std::shared_ptr<SoakTimer>& timer, ListenerRole role) {
  if (timer->destroyed || timer->listeners.size() >= kMaxListenersPerTimer) return nullptr;
  auto* listener = new SoakListener(*this, timer, role, position_);
  timer->timer->addListener(listener);  // its only reference
  ++counts_.listenersAdded;
  return listener;
}

bool SoakPopulation::detach(SoakTimer& timer, SoakListener* listener) {
  // The timer's release destroys the listener, which settles its registration.
  if (!timer.timer->removeListener(listener)) {
    fail("removeListener answered false for a listener in the set of '" + timer.name + "'");
    return false;
  }
  ++counts_.listenersRemoved;
  return true;
}

SoakListener* SoakPopulation::randomListener(SoakTimer& timer, const SoakListener* except) {
  std::vector<SoakListener*> candidates;
  for (SoakListener* listener : timer.listeners) {
    if (listener != timer.anchor && listener != except && listener != leaked_) candidates.push_back(listener);
  }
  if (candidates.empty()) return nullptr;
  return candidates[static_cast<size_t>(between(0, static_cast<int>(candidates.size()) - 1))];
}

void SoakPopulation::createTimer(Slot& slot) {
  const int index = static_cast<int>(&slot - slots_.data());
  // Steady timers spread over every period; the others draw one.
  const int period = slot.steady ? kMinPeriodMs + index * 7 % kMaxPeriodMs : randomPeriod();
  auto timer = std::make_shared<SoakTimer>(slot.name, index, period, slot.steady);
  const std::shared_ptr<SoakTimer> previous = std::move(slot.current);
  if (previous) previous->registered = false;  // the registry lets go of it in createTimer
  // An owned copy: the registry keeps the name in a block of its own.
  Velmora::ITimer* made = service_.createTimer(VelCString::copyOf(slot.name.c_str()));
  if (!made) {
    fail("createTimer gave no timer for '" + slot.name + "'");
    return;
  }
  host_.watch(static_cast<IVelUnknown*>(made));
  timer->timer = made;
  slot.current = timer;
  ++counts_.created;
  if (previous) ++counts_.replaced;
  attach(timer, ListenerRole::anchor);
  attach(timer, ListenerRole::plain);
  for (int extra = between(0, 2); extra > 0; --extra) attach(timer, randomExtraRole());
  made->start(period);
  timer->runningFrom(nowNs());
}

void SoakPopulation::removeTimer(Slot& slot, bool hold, bool counted) {
  const std::shared_ptr<SoakTimer> timer = std::move(slot.current);
  if (!timer) return;
  IPtr<Velmora::ITimer> reference;
  if (hold) reference.assign(timer->timer);
  timer->registered = false;
  if (!service_.removeTimer(VelCString(slot.name.c_str()))) {
    fail("removeTimer answered false for the registered '" + slot.name + "'");
  }
  timer->running = false;  // removeTimer stops it
  if (counted) ++counts_.removed;
  if (hold) {
    held_.push_back(Held{reference, timer, nowNs() + between(50, 1500) * kNsPerMs});
    ++counts_.held;
  }
}

void SoakPopulation::registerProbeName() {
  // A space keeps it apart from every slot's name.
  static constexpr const char* kProbeName = "soak probe";
  if (!service_.createTimer(VelCString::copyOf(kProbeName)) || !service_.removeTimer(VelCString(kProbeName))) {
    fail("the probe name could not be registered and removed");
    return;
  }
  ++probeNames_;
}

void SoakPopulation::restart(SoakTimer& timer, int periodMs) {
  timer.timer->start(periodMs);
  timer.periodMs = periodMs;
  timer.runningFrom(nowNs());
}

void SoakPopulation::churn() {
  if (!faultDone_ && config_.fault != Fault::none && nowNs() - startNs_ >= 1000 * kNsPerMs) injectFault();
  for (int operations = between(1, 3); operations > 0; --operations) {
    Slot& slot = randomChurnSlot();
    const int choice = between(0, 99);
    if (!slot.current) {
      createTimer(slot);
    } else if (choice < 12) {
      createTimer(slot);  // replaces the timer under the name
    } else if (choice < 24) {
      removeTimer(slot, static_cast<int>(held_.size()) < kMaxHeld && chance(0.25));
    } else if (choice < 34) {
      restart(*slot.current, randomPeriod());
      ++counts_.restarted;
    } else if (choice < 42) {
      SoakTimer& timer = *slot.current;
      if (timer.running) {
        timer.timer->stop();
        timer.running = false;
        ++counts_.stopped;
      } else {
        restart(timer, timer.periodMs);
        ++counts_.restarted;
      }
    } else if (choice < 50) {
      SoakTimer& timer = *slot.current;
      const int period = randomPeriod();
      timer.timer->setInterval(period);
      timer.periodMs = period;
      if (timer.running) timer.runningFrom(nowNs());  // Qt restarts a running timer
      ++counts_.intervalsSet;
    } else if (choice < 75) {
      // Listeners come and go on steady timers too.
      Slot& any = slots_[static_cast<size_t>(between(0, static_cast<int>(slots_.size()) - 1))];
      if (any.current) attach(any.current, randomExtraRole());
    } else {
      Slot& any = slots_[static_cast<size_t>(between(0, static_cast<int>(slots_.size()) - 1))];
      if (any.current) {
        if (SoakListener* listener = randomListener(*any.current, nullptr)) detach(*any.current, listener);
      }
    }
  }
  churnHeld();
  if (chance(0.5)) {
    Slot& slot = slots_[static_cast<size_t>(between(0, static_cast<int>(slots_.size()) - 1))];
    if (!texts_.round(slot.name, random_)) fail("text churn: " + texts_.problem());
  }
}

void SoakPopulation::churnHeld() {
  const int64_t now = nowNs();
  for (auto it = held_.begin(); it != held_.end();) {
    SoakTimer& timer = *it->timer;
    if (now >= it->releaseAtNs) {
      it = held_.erase(it);  // the last reference: the timer object goes, with its listeners
      continue;
    }
    if (!timer.running && chance(0.02)) {
      restart(timer, timer.periodMs);  // an unregistered timer may run again
      ++counts_.heldRestarted;
    }
    ++it;
  }
}

void SoakPopulation::alerted(SoakListener& listener) {
  SoakTimer& timer = listener.timer();
  if (!timer.qtTimer) {
    // The first alert of this timer object: learn its Qt timer, and count the
    // expiry being delivered (the tally saw it before it was followed).
    const QObject* qtTimer = tally_.currentTimer();
    if (!tally_.follow(qtTimer, &timer.expiries)) {
      fail("the first alert of '" + timer.name + "' came from no Qt timer the soak could follow");
    } else {
      timer.qtTimer = qtTimer;
      timer.expiries.noteExpiry(nowNs());
    }
  }
  ++alerts_;
  const PassScope scope(position_, PassPosition{&timer.expiries, listener.key()});
  if (dropNextAlert_ && listener.role() == ListenerRole::plain) {
    dropNextAlert_ = false;  // the fault: this alert goes uncounted
  } else {
    listener.registration().alerted();
  }
  actOnAlert(listener);  // may destroy the listener
}

void SoakPopulation::actOnAlert(SoakListener& listener) {
  SoakTimer& timer = listener.timer();
  switch (listener.role()) {
    case ListenerRole::selfRemover:
      if (chance(0.02) && detach(timer, &listener)) ++counts_.removedInOwnAlert;
      return;  // `listener` may be gone
    case ListenerRole::adder:
      if (chance(0.02) && attach(listener.sharedTimer(), randomExtraRole())) ++counts_.addedInAlert;
      return;
    case ListenerRole::siblingRemover:
      if (chance(0.02)) {
        if (SoakListener* other = randomListener(timer, &listener)) {
          if (detach(timer, other)) ++counts_.removedInOwnAlert;
        }
      }
      return;
    case ListenerRole::crossAdder:
      if (chance(0.01)) {
        Slot& any = slots_[static_cast<size_t>(between(0, static_cast<int>(slots_.size()) - 1))];
        if (any.current && attach(any.current, ListenerRole::plain)) ++counts_.addedInAlert;
      }
      return;
    case ListenerRole::timerRemover:
      if (chance(0.002) && !timer.steady && timer.registered) {
        Slot& slot = slots_[static_cast<size_t>(timer.slot)];
        // The timer object outlives this pass either way: its release is put
        // off until the walk is over.
        if (chance(0.5)) {
          removeTimer(slot, false);
        } else {
          createTimer(slot);
        }
        ++counts_.timersRemovedInOwnAlert;
      }
      return;
    case ListenerRole::texter:
      if (chance(0.05) && !texts_.round(timer.name, random_)) fail("text churn: " + texts_.problem());
      return;
    case ListenerRole::anchor:
    case ListenerRole::plain: return;
  }
}

void SoakPopulation::leaving(SoakListener& listener) {
  SoakTimer& timer = listener.timer();
  if (&listener == timer.anchor) {
    // Anchors are never removed: their timer object is being destroyed.
    timer.anchor = nullptr;
    timer.destroyed = true;
    timer.running = false;
    if (timer.qtTimer) tally_.stopFollowing(timer.qtTimer);
  }
  if (!ledger_.settle(listener.registration(), position_) && ledger_.mismatches == 1) {
    ledger_.firstMismatch = std::string(roleName(listener.role())) + " listener of '" + timer.name +
                            "': " + std::to_string(listener.registration().alerts()) + " alerts delivered, " +
                            std::to_string(listener.registration().dueOnLeaving(position_)) + " due";
  }
  auto& listeners = timer.listeners;
  listeners.erase(std::remove(listeners.begin(), listeners.end(), &listener), listeners.end());
}

void SoakPopulation::checkRegistry(const Slot& slot) {
  const VelCString name(slot.name.c_str());
  Velmora::ITimer* registered = service_.getTimer(name);
  Velmora::ITimer* expected = slot.current ? slot.current->timer : nullptr;
  ++counts_.registryChecks;
  if (registered != expected || service_.hasTimer(name) != (expected != nullptr)) {
    fail("the registry's timer under '" + slot.name + "' is not the one last created there");
  }
}

void SoakPopulation::check() {
  const int64_t now = nowNs();
  auto look = [&](SoakTimer& timer) {
    if (!timer.running || timer.destroyed) return;
    const int64_t since = std::max(timer.runningSinceNs, timer.expiries.lastExpiryNs());
    const int64_t over = now - since - timer.periodMs * kNsPerMs * 105 / 100;
    longestSilenceOverNs_ = std::max(longestSilenceOverNs_, over);
    if (over > kSilenceBoundMs * kNsPerMs && !timer.silenceReported) {
      timer.silenceReported = true;
      fail("timer '" + timer.name + "' (" + std::to_string(timer.periodMs) + " ms, running) had no expiry for " +
           std::to_string((now - since) / kNsPerMs) + " ms");
    }
  };
  for (Slot& slot : slots_) {
    if (slot.current) look(*slot.current);
  }
  for (Held& held : held_) look(*held.timer);
  for (int i = 0; i < 8; ++i)
    checkRegistry(slots_[static_cast<size_t>(between(0, static_cast<int>(slots_.size()) - 1))]);
}

void SoakPopulation::injectFault() {
  faultDone_ = true;
  switch (config_.fault) {
    case Fault::dropAlert: dropNextAlert_ = true; break;
    case Fault::stopTimer:
      // Stopped behind the soak's back: as far as it knows the timer runs.
      slots_[0].current->timer->stop();
      break;
    case Fault::leakListener:
      if ((leaked_ = randomListener(*slots_[1].current, nullptr)) ||
          (leaked_ = attach(slots_[1].current, ListenerRole::plain))) {
        leaked_->addRef();  // a reference nobody gives back
      }
      break;
    case Fault::none:
    case Fault::growMemory:   // the run grows the memory itself
    case Fault::keepOwnPool:  // the run offers a pool the module cannot find
      break;
  }
}

void SoakPopulation::measureSteady() {
  const int64_t now = nowNs();
  for (const Slot& slot : slots_) {
    if (!slot.steady || !slot.current) continue;
    const SoakTimer& timer = *slot.current;
    const int64_t elapsed = now - timer.runningSinceNs;
    const int64_t period = timer.periodMs * kNsPerMs;
    steady_.expiries += timer.expiries.expiries();
    steady_.scheduled += elapsed / period;
    if (timer.periodMs >= 20) {
      const int64_t allowed = elapsed * 100 / (period * 105);
      const double share =
          allowed > 0 ? static_cast<double>(timer.expiries.expiries()) / static_cast<double>(allowed) : 1.0;
      if (steady_.lowestName.empty() || share < steady_.lowestShareAt20) {
        steady_.lowestShareAt20 = share;
        steady_.lowestName = timer.name;
      }
      if (timer.expiries.expiries() + 1 < static_cast<int64_t>(kSteadyShare * static_cast<double>(allowed))) {
        fail("steady timer '" + timer.name + "' (" + std::to_string(timer.periodMs) + " ms) had " +
             std::to_string(timer.expiries.expiries()) + " expiries where the clock allows " + std::to_string(allowed));
      }
    }
  }
}

void SoakPopulation::finish() {
  measureSteady();
  // Stop everything the soak knows: registered timers through the service,
  // held ones one by one. Then no alert may come.
  shutdown_.onShutdown();
  for (Slot& slot : slots_) {
    if (slot.current) slot.current->running = false;
  }
  for (Held& held : held_) {
    held.timer->timer->stop();
    held.timer->running = false;
  }
  const int64_t alertsBefore = alerts_;
  QElapsedTimer quiet;
  quiet.start();
  while (quiet.elapsed() < 150) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  alertsAfterShutdown_ = alerts_ - alertsBefore;
  if (alertsAfterShutdown_ != 0)
    fail(std::to_string(alertsAfterShutdown_) + " alerts came after every timer was stopped");
  for (Slot& slot : slots_) removeTimer(slot, false, false);
  held_.clear();
}

}  // namespace cadence::soak

namespace cadence::soak {

void SoakPopulation::giveBackLeakedReference() {
  if (SoakListener* leaked = std::exchange(leaked_, nullptr)) leaked->releaseRef();
}

}  // namespace cadence::soak

// Timer service sequences against a model: the registry (createTimer,
// getTimer, hasTimer, removeTimer, onShutdown) against a std::map, the
// timers' controls, listener registration with the reference each entry
// holds, and alert passes whose listeners change the set, remove or replace
// the timer from inside alert(), against a model of the walk (ascending
// keys, each successor looked up in the set as it is after the call).
#include <QCoreApplication>
#include <QMetaObject>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_query.h"
#include "fuzz/fuzz_support.h"
#include "timers/timer_impl.h"
#include "timers/timer_service.h"

namespace {

using Velmora::ITimer;
using Velmora::ITimerListener;
using Velmora::TimerImpl;
using Velmora::TimerService;

constexpr int kListeners = 8;
constexpr int kNames = 24;

enum class Action { None, Add, Remove, RemoveSelf, RemoveTimer, ReplaceTimer };

struct Script {
  Action action = Action::None;
  int other = 0;
};

class FuzzListener : public ITimerListener {
 public:
  void alert() override;
  void queryInterface(const char* name, void* target) override {
    if (!name) return;
    void** slot = velQuerySlot(target);
    if (slot && velNameIs(name, "ITimerListener")) *slot = static_cast<ITimerListener*>(this);
  }
  const char* getClassName() override { return "FuzzListener"; }
  int index = 0;
};

// One array, so the listeners' keys ascend with their index; each carries a
// reference of the fuzzer's own and is never destroyed.
std::array<FuzzListener, kListeners>& listeners() {
  static auto* made = [] {
    auto* a = new std::array<FuzzListener, kListeners>;
    for (int i = 0; i < kListeners; ++i) {
      (*a)[i].index = i;
      (*a)[i].addRef();
    }
    return a;
  }();
  return *made;
}

ITimerListener* key(int i) { return &listeners()[i]; }

struct ModelTimer {
  ITimer* timer = nullptr;
  TimerImpl* impl = nullptr;
  std::set<int> listeners;
  int name = -1;  // registered under this name, or -1
  bool held = false;
  bool alive = true;
};

// The state of one run.
struct Run {
  TimerService* service = nullptr;
  std::vector<ModelTimer> timers;
  std::map<int, int> registry;                          // name -> timer id
  std::map<int, IPtr<ITimer, IVelUnknown>> clientRefs;  // timer id -> reference
  std::array<VelCString, kNames> names;
  // During an alert pass: the timer alerted, the scripts and what happened.
  int alerting = -1;
  std::array<Script, kListeners> scripts{};
  std::vector<int> alerted;
};
Run* g_run = nullptr;

TimerImpl* implOf(ITimer* timer) {
  void* found = nullptr;
  timer->queryInterface("TimerImpl", &found);
  return static_cast<TimerImpl*>(found);
}

void settle(Run& run, int id) {
  ModelTimer& t = run.timers[id];
  if (t.alive && t.name < 0 && !t.held && run.alerting != id) {
    t.alive = false;
    t.listeners.clear();
  }
}

// createTimer as the model sees it; returns the new timer's id.
int createTimer(Run& run, int name) {
  ITimer* timer = run.service->createTimer(run.names[name]);
  VEL_FUZZ_CHECK(timer != nullptr);
  VEL_FUZZ_CHECK(run.service->getTimer(run.names[name]) == timer);
  const int id = static_cast<int>(run.timers.size());
  run.timers.push_back({timer, implOf(timer), {}, name, false, true});
  VEL_FUZZ_CHECK(run.timers[id].impl && !run.timers[id].impl->isRunning());
  if (auto old = run.registry.find(name); old != run.registry.end()) {
    run.timers[old->second].name = -1;
    settle(run, old->second);
  }
  run.registry[name] = id;
  return id;
}

bool removeTimer(Run& run, int name) {
  const bool removed = run.service->removeTimer(run.names[name]);
  auto it = run.registry.find(name);
  VEL_FUZZ_CHECK(removed == (it != run.registry.end()));
  if (!removed) return false;
  const int id = it->second;
  run.registry.erase(it);
  run.timers[id].name = -1;
  if (run.timers[id].held || run.alerting == id) VEL_FUZZ_CHECK(!run.timers[id].impl->isRunning());
  settle(run, id);
  return true;
}

void FuzzListener::alert() {
  Run& run = *g_run;
  VEL_FUZZ_CHECK(run.alerting >= 0);
  run.alerted.push_back(index);
  ModelTimer& t = run.timers[run.alerting];
  const Script s = run.scripts[index];
  switch (s.action) {
    case Action::None: break;
    case Action::Add: t.timer->addListener(key(s.other)); break;
    case Action::Remove: t.timer->removeListener(key(s.other)); break;
    case Action::RemoveSelf: VEL_FUZZ_CHECK(t.timer->removeListener(key(index))); break;
    case Action::RemoveTimer:
      if (t.name >= 0) removeTimer(run, t.name);
      break;
    case Action::ReplaceTimer:
      if (t.name >= 0) createTimer(run, t.name);
      break;
  }
}

// The walk the alert pass must make, applying each script to a copy of the set.
std::vector<int> modelWalk(const std::set<int>& start, const std::array<Script, kListeners>& scripts,
                           std::set<int>* after) {
  auto byKey = [](int a, int b) { return reinterpret_cast<uintptr_t>(key(a)) < reinterpret_cast<uintptr_t>(key(b)); };
  std::set<int> live = start;
  std::vector<int> order;
  auto next = [&](const ITimerListener* above) -> int {
    int best = -1;
    for (int i : live) {
      if (above && reinterpret_cast<uintptr_t>(key(i)) <= reinterpret_cast<uintptr_t>(above)) continue;
      if (best < 0 || byKey(i, best)) best = i;
    }
    return best;
  };
  for (int cur = next(nullptr); cur >= 0; cur = next(key(cur))) {
    order.push_back(cur);
    const Script& s = scripts[cur];
    if (s.action == Action::Add) live.insert(s.other);
    if (s.action == Action::Remove) live.erase(s.other);
    if (s.action == Action::RemoveSelf) live.erase(cur);
  }
  *after = live;
  return order;
}

void checkReferences(const Run& run) {
  std::array<int, kListeners> expected;
  expected.fill(1);
  for (const ModelTimer& t : run.timers)
    if (t.alive)
      for (int i : t.listeners) ++expected[i];
  for (int i = 0; i < kListeners; ++i) VEL_FUZZ_CHECK(listeners()[i].getRefCount() == expected[i]);
}

// A live timer chosen by the input, or -1.
int pickLive(Run& run, FuzzedDataProvider& in) {
  std::vector<int> live;
  for (int id = 0; id < static_cast<int>(run.timers.size()); ++id)
    if (run.timers[id].alive) live.push_back(id);
  if (live.empty()) return -1;
  return live[in.ConsumeIntegralInRange<size_t>(0, live.size() - 1)];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  static int qtArgc = 1;
  static char name[] = "fuzz_timers";
  static char* qtArgv[] = {name, nullptr};
  new QCoreApplication(qtArgc, qtArgv);  // timers need the thread's event dispatcher
  listeners();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Run run;
  g_run = &run;
  run.service = new TimerService;
  run.service->addRef();
  // Names: null, empty, two that differ in case, and enough to grow the table;
  // owned copies and borrowed literals alike.
  static const char* const kLiterals[] = {"a", "A", "timer", "b"};
  run.names[1] = VelCString("");
  for (int i = 2; i < 6; ++i) run.names[i] = VelCString(kLiterals[i - 2]);
  for (int i = 6; i < kNames; ++i) run.names[i] = VelCString::copyOf(("t" + std::to_string(i)).c_str());

  for (int step = 0; step < 120 && in.remaining_bytes() > 0; ++step) {
    const int name = in.ConsumeIntegralInRange<int>(0, kNames - 1);
    switch (in.ConsumeIntegralInRange<int>(0, 11)) {
      case 0:
      case 1: createTimer(run, name); break;
      case 2: {
        auto it = run.registry.find(name);
        VEL_FUZZ_CHECK(run.service->getTimer(run.names[name]) ==
                       (it == run.registry.end() ? nullptr : run.timers[it->second].timer));
        VEL_FUZZ_CHECK(run.service->hasTimer(run.names[name]) == (it != run.registry.end()));
        break;
      }
      case 3: removeTimer(run, name); break;
      case 4: {  // a client takes a reference, or gives its reference back
        const int id = pickLive(run, in);
        if (id < 0) break;
        ModelTimer& t = run.timers[id];
        if (!t.held) {
          run.clientRefs[id].assign(t.timer);
          t.held = true;
        } else {
          run.clientRefs.erase(id);
          t.held = false;
          settle(run, id);
        }
        break;
      }
      case 5: {
        const int id = pickLive(run, in);
        if (id < 0) break;
        TimerImpl* impl = run.timers[id].impl;
        const int interval = in.ConsumeIntegralInRange<int>(0, 100000);
        switch (in.ConsumeIntegralInRange<int>(0, 2)) {
          case 0:
            run.timers[id].timer->start(interval);
            VEL_FUZZ_CHECK(impl->isRunning() && impl->interval() == interval);
            break;
          case 1:
            run.timers[id].timer->stop();
            VEL_FUZZ_CHECK(!impl->isRunning());
            break;
          default: {
            const bool running = impl->isRunning();
            run.timers[id].timer->setInterval(interval);
            VEL_FUZZ_CHECK(impl->isRunning() == running && impl->interval() == interval);
            break;
          }
        }
        break;
      }
      case 6:
      case 7: {
        const int id = pickLive(run, in);
        if (id < 0) break;
        const int l = in.ConsumeIntegralInRange<int>(0, kListeners - 1);
        ModelTimer& t = run.timers[id];
        if (in.ConsumeBool()) {
          t.timer->addListener(key(l));
          t.listeners.insert(l);
        } else {
          VEL_FUZZ_CHECK(t.timer->removeListener(key(l)) == (t.listeners.erase(l) == 1));
        }
        VEL_FUZZ_CHECK(t.impl->listenerCount() == static_cast<int>(t.listeners.size()));
        break;
      }
      case 8:
      case 9:
      case 10: {  // one alert pass, with listeners acting from inside alert()
        const int id = pickLive(run, in);
        if (id < 0) break;
        for (Script& s : run.scripts) {
          const int kind = in.ConsumeIntegralInRange<int>(0, 9);
          s.action = kind < 4 ? Action::None : static_cast<Action>(std::min(kind - 3, 5));
          s.other = in.ConsumeIntegralInRange<int>(0, kListeners - 1);
        }
        std::set<int> after;
        const std::vector<int> expected = modelWalk(run.timers[id].listeners, run.scripts, &after);
        run.alerting = id;
        run.alerted.clear();
        VEL_FUZZ_CHECK(QMetaObject::invokeMethod(run.timers[id].impl, "alertListeners", Qt::DirectConnection));
        run.alerting = -1;
        VEL_FUZZ_CHECK(run.alerted == expected);
        run.timers[id].listeners = after;
        settle(run, id);
        if (run.timers[id].alive)
          VEL_FUZZ_CHECK(run.timers[id].impl->listenerCount() == static_cast<int>(after.size()));
        break;
      }
      case 11: {
        run.service->onShutdown();
        for (const auto& [n, id] : run.registry) {
          VEL_FUZZ_CHECK(!run.timers[id].impl->isRunning());
          VEL_FUZZ_CHECK(run.service->hasTimer(run.names[n]));
        }
        break;
      }
    }
    checkReferences(run);
    VEL_FUZZ_CHECK(run.service->registry().entryCount() == static_cast<int32_t>(run.registry.size()));
  }

  // Dropping the service releases every registered timer; the clients' own
  // references go last. Afterwards no timer holds a listener.
  run.service->releaseRef();
  for (auto& [n, id] : run.registry) {
    run.timers[id].name = -1;
    settle(run, id);
  }
  run.registry.clear();
  checkReferences(run);
  for (auto& [id, ref] : run.clientRefs) {
    ref.clear();
    run.timers[id].held = false;
    settle(run, id);
  }
  checkReferences(run);
  g_run = nullptr;
  return 0;
}

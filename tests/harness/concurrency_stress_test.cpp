// The concurrency stress: threads that each run their own Qt event loop with
// their own timer service, timers and listeners (created, replaced, removed
// and re-registered while the timers fire), beside threads that hammer the
// shared pool through strings, names, translations and raw pooled blocks,
// for a bounded time. Run under ThreadSanitizer by the tsan preset.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_query.h"
#include "cadencehost/vel_string.h"
#include "memory/pool.h"
#include "qt/function_slot.h"
#include "tests/support/test_application.h"
#include "tests/support/test_listener.h"
#include "text/translator_holder.h"
#include "text/vel_trivial_translator.h"
#include "timers/timer_service.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kRunTime = 2s;
constexpr int kLoopThreads = 3;
constexpr int kHammerThreads = 2;
constexpr int kTimersPerLoop = 6;
constexpr int kListenersPerLoop = 4;

QCoreApplication& app() { return cadence::test::testApplication(); }

// One thread with its own event loop, service, timers and listeners. A plain
// thread that runs a QEventLoop (Qt gives it an event dispatcher), so its
// start and join are seen by the sanitizer.
class LoopThread {
 public:
  explicit LoopThread(int index) : index_(index) {}

  int alerts = 0;
  int churns = 0;
  std::string error;  // empty when every check held

  void run() {
    QEventLoop loop;  // first: it gives the thread its event dispatcher, which timers need
    auto* service = new Velmora::TimerService;
    service->addRef();
    std::vector<cadence::test::RecordingListener> listeners(kListenersPerLoop);
    for (cadence::test::RecordingListener& l : listeners) l.addRef();  // the thread's own reference
    std::vector<VelCString> names;
    for (int i = 0; i < kTimersPerLoop; ++i)
      names.push_back(VelCString::copyOf(("loop-" + std::to_string(index_) + "-" + std::to_string(i)).c_str()));

    auto startTimer = [&](int i) {
      Velmora::ITimer* timer = service->createTimer(names[i]);
      for (int k = 0; k <= i % kListenersPerLoop; ++k) timer->addListener(&listeners[k]);
      timer->start(1 + i % 3);
    };
    for (int i = 0; i < kTimersPerLoop; ++i) startTimer(i);
    // A listener that moves another one in and out of the timer alerting it.
    listeners[0].onAlert = [&] {
      Velmora::ITimer* timer = service->getTimer(names[listeners[0].alerts % kTimersPerLoop]);
      if (!timer) return;
      if (!timer->removeListener(&listeners[3])) timer->addListener(&listeners[3]);
    };

    std::mt19937 random(static_cast<unsigned>(index_));
    QTimer churn;
    cadence::qt::onTimeout(&churn, [&] {
      ++churns;
      const int i = static_cast<int>(random() % kTimersPerLoop);
      switch (random() % 3) {
        case 0: startTimer(i); break;  // replaces the timer under the name
        case 1:
          if (service->removeTimer(names[i])) startTimer(i);
          break;
        default:
          if (Velmora::ITimer* timer = service->getTimer(names[i])) timer->setInterval(1 + random() % 4);
      }
      VelString label("timer %1 of loop %2");
      const VelString n(std::to_string(i).c_str()), l(std::to_string(index_).c_str());
      const VelString* args[] = {&n, &l, nullptr};
      label.substituteArgs(args);
      const std::string expected = "timer " + std::to_string(i) + " of loop " + std::to_string(index_);
      if (!label.sameText(VelString(expected.c_str())) && error.empty()) error = "substituteArgs in a loop thread";
    });
    churn.start(3);

    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(kRunTime).count(), &loop, SLOT(quit()));
    loop.exec();
    churn.stop();

    service->onShutdown();
    for (int i = 0; i < kTimersPerLoop; ++i)
      if (!service->hasTimer(names[i]) && error.empty()) error = "a name went missing";
    service->releaseRef();
    for (cadence::test::RecordingListener& l : listeners) {
      alerts += l.alerts;
      if (l.getRefCount() != 1 && error.empty()) error = "a timer kept a listener reference";
    }
  }

 private:
  int index_;
};

// Strings, names, translations and raw pooled blocks, checked as they go.
void hammer(int seed, std::atomic<bool>& stop, std::atomic<int64_t>& rounds, std::string& error) {
  std::mt19937 random(static_cast<unsigned>(seed));
  IVelTranslator* translator = getTranslator();
  int64_t done = 0;
  while (!stop.load(std::memory_order_relaxed)) {
    VelString text("h");
    const int pieces = static_cast<int>(random() % 40);
    const VelString piece("0123456789abcdef");
    for (int i = 0; i < pieces; ++i) text.append(piece);
    VelString copy(text);
    copy.append(copy);
    if (copy.length() != 2 * (1 + 16 * pieces)) error = "append lost units";

    const VelCString name = VelCString::copyOf(("name-" + std::to_string(random() % 1000)).c_str());
    const VelCString again(name);
    if (!(again == name) || again.text == name.text) error = "a name copy";

    const VelString x(std::to_string(seed).c_str());
    const VelString translated = translator->translate("seed %1", x);
    if (!translated.sameText(VelString(("seed " + std::to_string(seed)).c_str()))) error = "translate";

    int32_t usable = 0;
    const int32_t size = static_cast<int32_t>(random() % 5000);
    void* block = poolAllocate(size, &usable);
    if (!block || usable < size) error = "a pooled block";
    if (block && usable > 0) std::memset(block, seed, static_cast<size_t>(usable));
    poolFree(&usable, &block);
    ++done;
  }
  rounds += done;
}

TEST(ConcurrencyStress, EventLoopThreadsAndPoolHammersRunCleanly) {
  app();
  // The main thread's event dispatcher goes first: Qt 4 on Windows registers
  // its dispatchers' window class when the first one is used, and threads
  // racing to that moment may find no class.
  QCoreApplication::processEvents();
  getTranslator();  // the process-wide translator is made before the threads share it

  std::vector<std::unique_ptr<LoopThread>> loops;
  std::vector<std::thread> loopThreads;
  for (int i = 0; i < kLoopThreads; ++i) {
    loops.push_back(std::make_unique<LoopThread>(i));
    loopThreads.emplace_back(&LoopThread::run, loops.back().get());
  }

  std::atomic<bool> stop{false};
  std::atomic<int64_t> rounds{0};
  std::vector<std::string> errors(kHammerThreads);
  std::vector<std::thread> hammers;
  for (int i = 0; i < kHammerThreads; ++i)
    hammers.emplace_back(hammer, i + 1, std::ref(stop), std::ref(rounds), std::ref(errors[i]));

  for (std::thread& t : loopThreads) t.join();  // each ends after kRunTime
  stop = true;
  for (std::thread& t : hammers) t.join();

  for (int i = 0; i < kLoopThreads; ++i) {
    EXPECT_EQ(loops[i]->error, "") << "loop thread " << i;
    EXPECT_GT(loops[i]->alerts, 0) << "loop thread " << i << " saw no alert";
    EXPECT_GT(loops[i]->churns, 0) << "loop thread " << i << " made no change";
  }
  for (int i = 0; i < kHammerThreads; ++i) EXPECT_EQ(errors[i], "") << "hammer thread " << i;
  EXPECT_GT(rounds.load(), 0);
  int alerts = 0, churns = 0;
  for (auto& loop : loops) alerts += loop->alerts, churns += loop->churns;
  std::printf("[ stress   ] %d alerts, %d registry changes, %lld hammer rounds\n", alerts, churns,
              static_cast<long long>(rounds.load()));
}

}  // namespace

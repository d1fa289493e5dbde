// The soak run: setup, the event loop with its timers, the checks and the figures.
#include "tests/soak/soak_run.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <list>
#include <string>
#include <vector>

#include "cadencehost/bucket_memory_pool.h"
#include "cadencehost/module_ids.h"
#include "cadencehost/vel_query.h"
#include "host/commands.h"
#include "host/host_os.h"
#include "host/host_services.h"
#include "host/module_loader.h"
#include "host/reference_host.h"
#include "qt/function_slot.h"
#include "tests/soak/memory_trend.h"
#include "tests/soak/pool_move_watch.h"
#include "tests/soak/soak_figures.h"

namespace cadence::soak {
namespace {

constexpr int kChurnEveryMs = 5;
constexpr int kCheckEveryMs = 100;
constexpr size_t kGrowthFaultBytes = 4 << 20;  // a second, after the warm-up

const char* faultName(Fault fault) {
  switch (fault) {
    case Fault::none: return "none";
    case Fault::dropAlert: return "drop-alert";
    case Fault::stopTimer: return "stop-timer";
    case Fault::leakListener: return "leak-listener";
    case Fault::growMemory: return "grow-memory";
    case Fault::keepOwnPool: return "keep-own-pool";
  }
  return "?";
}

// The keep-own-pool fault: a pool that will not name itself, so the module
// finds none behind the service and stays on its own.
class UnnamedPool : public BucketMemoryPool {
 public:
  using BucketMemoryPool::BucketMemoryPool;
  void queryInterface(const char* name, void* target) override {
    if (name && std::strcmp(name, kClassName) == 0) {
      *static_cast<void**>(target) = nullptr;
      return;
    }
    BucketMemoryPool::queryInterface(name, target);
  }
};

// After the offer: notes the move, and while the churn has not made enough
// allocations in the module for a verdict, registers names of its own (a
// batch per check, so the event loop keeps its pace).
constexpr int kProbeNamesPerCheck = 150;
void watchPoolMove(PoolMoveWatch& watch, SoakPopulation& population, double nowSeconds) {
  watch.update(population.moduleEntriesMade(), nowSeconds);
  for (int i = 0; i < kProbeNamesPerCheck && watch.wantsAllocations(); ++i) {
    population.registerProbeName();
    watch.update(population.moduleEntriesMade(), nowSeconds);
  }
}

}  // namespace

int runSoak(const SoakOptions& options, std::FILE* out) {
  host::ReferenceHost& host = host::installReferenceHost({});
  host::LoadedModule module;
  QString reason;
  if (!module.load(options.modulePath, &host, &reason)) {
    std::fprintf(stderr, "soak: %s\n", reason.toUtf8().constData());
    return kSoakModule;
  }
  IVelUnknown* object = nullptr;
  module.component()->createInstance(kVelTimerServiceClassId, &object);
  auto* service = velQueryAs<Velmora::ITimerServiceV2>(object);
  auto* shutdown = velQueryAs<IShutdownListener>(object);
  if (!service || !shutdown) {
    std::fprintf(stderr, "soak: the module gave no timer service with 'ITimerServiceV2' and 'IShutdownListener'\n");
    return kSoakModule;
  }
  IPtr<IVelUnknown> serviceReference(object);

  QElapsedTimer clock;
  clock.start();
  SoakPopulation::Config config;
  config.timers = options.timers;
  config.seed = options.seed;
  config.fault = options.fault;
  std::fprintf(out, "soak: %d s, %d timer names (a quarter steady), periods %d to %d ms, seed %u, fault %s\n",
               options.seconds, options.timers, kMinPeriodMs, kMaxPeriodMs, options.seed, faultName(options.fault));
  std::fflush(out);

  SoakFigures figures;
  std::vector<uint64_t> residentSet;
  std::list<std::vector<char>> grown;  // the growth fault's memory
  PoolMoveWatch poolMove;
  const int warmUp = warmUpSeconds(options.seconds);
  const int progressEvery = std::max(10, options.seconds / 10);
  {
    SoakPopulation population(*service, *shutdown, host, clock, config);
    population.start();
    QObject timers;  // context of the run's own timers
    QTimer churn(&timers), check(&timers), sample(&timers);
    qt::onTimeout(&churn, [&] { population.churn(); });
    qt::onTimeout(&check, [&] {
      population.check();
      watchPoolMove(poolMove, population, static_cast<double>(clock.nsecsElapsed()) / 1e9);
    });
    qt::onTimeout(&sample, [&] {
      residentSet.push_back(host::readMemoryFigures().processResident);
      const int second = static_cast<int>(residentSet.size());
      if (options.fault == Fault::growMemory && second > warmUp) {
        grown.emplace_back(kGrowthFaultBytes, static_cast<char>(second));
      }
      if (second % progressEvery == 0) {
        std::fprintf(out, "  [%5d s] alerts %s, timers created %s, resident set %s\n", second,
                     grouped(population.alerts()).c_str(), grouped(population.churnCounts().created).c_str(),
                     megabytes(residentSet.back()).c_str());
        std::fflush(out);
      }
    });
    churn.start(kChurnEveryMs);
    check.start(kCheckEveryMs);
    sample.start(1000);
    if (options.offerHostPool) {
      qt::singleShot(options.seconds * 500, &timers, [&] {
        // Offered from the event loop's own thread, between calls into the
        // host, so the host's registry needs no lock for it.
        BucketMemoryPool* pool = options.fault == Fault::keepOwnPool ? new UnnamedPool(4, 8192, 262144)
                                                                     : new BucketMemoryPool(4, 8192, 262144);
        host.offer<IBucketMemoryPool>("IBucketMemoryPool", pool);
        poolMove.offered(pool, static_cast<double>(clock.nsecsElapsed()) / 1e9, population.moduleEntriesMade());
      });
    }
    qt::singleShot(options.seconds * 1000, &timers, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    churn.stop();
    check.stop();
    sample.stop();
    figures.ranSeconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    population.finish();
    // Everything the soak made is gone now, unless something leaked.
    figures.timersAlive = host.watchedAlive();
    figures.listenersAlive = host::liveCount(host::LiveKind::listener);
    figures.recordsAlive = SoakTimer::aliveCount();
    figures.qtTimersFollowed = population.followedTimers();
    population.giveBackLeakedReference();

    figures.ledger = population.ledger();
    figures.steady = population.steady();
    figures.longestSilenceOverMs = population.longestSilenceOverMs();
    figures.alertsAfterShutdown = population.alertsAfterShutdown();
    figures.churn = population.churnCounts();
    figures.textsMade = population.texts().textsMade();
    figures.translations = population.texts().translations();
    figures.poolMove = poolMove.figures();
    figures.warmUpSeconds = warmUp;
    figures.memory = judgeResidentSet(residentSet, static_cast<size_t>(warmUp));
    figures.failures = population.failures();
  }
  judgeEnd(figures);
  printFigures(out, figures);
  serviceReference.clear();
  module.release();
  return figures.failures.empty() ? kSoakPassed : kSoakFailed;
}

}  // namespace cadence::soak

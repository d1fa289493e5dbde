// No exception from the module reaches its host. The host's operator new
// (the process's one on POSIX, where the loaded module binds to it) fails at
// the N-th call made inside the module's host-facing operations, for every N
// the operations reach, each run in a child process on a freshly loaded
// module: every run completes or ends through the out-of-memory report
// (memory.log and exit(-1)); none ends by an exception reaching the host or a
// crash. A Windows DLL has an operator new of its own, which no host reaches:
// skipped there.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cadencehost/entry_point.h"
#include "cadencehost/module_ids.h"
#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_query.h"
#include "cadencehost/vel_services.h"
#include "platform/process.h"
#include "tests/harness/child_process.h"
#include "tests/module/module_library.h"
#include "tests/support/replaced_new.h"
#include "tests/support/service_fakes.h"
#include "tests/support/test_listener.h"
#include "tests/support/unique_directory.h"

namespace {

// The host's operator new (tests/support/replaced_new.h) counts the calls
// made while the host is inside a host-facing operation of the module, and
// fails the one numbered g_failAt.
std::atomic<bool> g_inModule{false};
std::atomic<int64_t> g_calls{0};
int64_t g_failAt = 0;

bool failsInsideTheModule() { return g_inModule.load(std::memory_order_relaxed) && ++g_calls == g_failAt; }

namespace fs = std::filesystem;
using cadence::harness::ChildOutcome;

constexpr int kUnwoundIntoHost = 4;
constexpr int kEntryPointRefused = 5;  // EntryPoint's own answer to a failed creation
constexpr auto kChildLimit = std::chrono::seconds(60);
const char kBody[] = "operator-new-sweep";

// A host call back from the module counts as the host's own: it never fails.
struct HostSide {
  HostSide() : was(g_inModule.exchange(false)) {}
  ~HostSide() { g_inModule = was; }
  bool was;
};

class QuietDataStore final : public cadence::test::FakeDataStore {
 public:
  using FakeDataStore::FakeDataStore;
  int32_t getBool(const char* key, int32_t defaultValue) override {
    HostSide host;
    return FakeDataStore::getBool(key, defaultValue);
  }
  const VelString& getString(const char* key, int32_t flags) override {
    HostSide host;
    return FakeDataStore::getString(key, flags);
  }
};

class QuietErrorService final : public cadence::test::PinnedService<IVelErrorService> {
 public:
  void reportError(const VelString&, int32_t*, const VelBlockArray&) override { ++reports; }
  int reports = 0;
};

// Offers the data store (logs in the run's folder) and the error service.
class SweepHost final : public IVelHost {
 public:
  explicit SweepHost(const std::string& directory) : store_(directory) {}
  int32_t getService(const VelCString& name, void** slot) override {
    HostSide host;
    if (name == "IDataStore") *slot = static_cast<IDataStore*>(&store_);
    if (name == "IVelErrorService") *slot = static_cast<IVelErrorService*>(&errors_);
    return *slot ? 1 : 0;
  }
  char getTestStatus() override { return 'S'; }
  void addRefHook(int32_t* counter) override { ++*counter; }
  bool releaseRefHook(int32_t* counter) override { return --*counter == 0; }

 private:
  QuietDataStore store_;
  QuietErrorService errors_;
};

enum class Arming { everyOperation, createTimerOnly };

// One host-facing operation, with the host's operator new counting inside
// it; false when an exception came out of it.
template <class Operation>
bool call(bool armed, Operation&& operation) {
  g_inModule = armed;
  bool unwound = false;
  try {
    operation();
  } catch (...) {
    unwound = true;
  }
  g_inModule = false;
  return !unwound;
}

template <class I>
I* queried(IVelUnknown* object) {
  return object ? velQueryAs<I>(object) : nullptr;
}

// The host's run, on a module loaded here for it; the status the child ends with.
int hostRun(Arming arming, const std::string& directory) {
  cadence::test::setOperatorNewFailure(&failsInsideTheModule);
  static int argc = 1;
  static char name[] = "operator_new_sweep";
  static char* argv[] = {name, nullptr};
  static QCoreApplication app(argc, argv);
  static SweepHost host(directory);
  std::string error;
  void* library = cadence::test::openModuleLibrary(VEL_MODULE_PATH, &error);
  if (!library) return 70;
  auto entryPoint = reinterpret_cast<VelEntryPointFn>(cadence::test::moduleLibrarySymbol(library, kVelEntryPointName));
  const bool armed = arming == Arming::everyOperation;

  uint32_t version = 0;
  IVelComponent* component = nullptr;
  int32_t status = 0;
  bool clean = call(armed, [&] { status = entryPoint(&version, &component); });
  if (clean && status != kVelEntryPointSucceeded) return kEntryPointRefused;
  IVelCompInternal* internal = nullptr;
  IVelUnknown* service = nullptr;
  clean = clean && call(armed, [&] {
            component->setHost(&host);
            component->addRef();
            internal = queried<IVelCompInternal>(component);
            VelID id;
            for (bool more = internal->getFirstClassId(id); more; more = internal->getNextClassId(id)) {
              internal->getClassNameOf(id);
            }
            component->getBinary()->getBinaryId();
            component->createInstance(kVelTimerServiceClassId, &service);
            service->addRef();
          });
  auto* timers = queried<Velmora::ITimerServiceV2>(service);
  static cadence::test::RecordingListener listener;
  listener.addRef();  // the host's own reference: the module's release is never the last
  const VelCString timerName("sweep timer");
  Velmora::ITimer* timer = nullptr;
  clean = clean && call(true, [&] { timer = timers->createTimer(timerName); });
  clean = clean && call(armed, [&] {
            timers->getTimer(timerName);
            timer->addListener(&listener);
            timer->start(5);
            timer->setInterval(10);
            timer->stop();
            timer->removeListener(&listener);
            timers->hasTimer(timerName);
            timers->createTimer(timerName);  // replaces the first
            timers->removeTimer(timerName);
            queried<IShutdownListener>(service)->onShutdown();
            internal->runTests(nullptr);  // two reports through the error service
            service->releaseRef();
            component->releaseRef();
          });
  if (!clean) return kUnwoundIntoHost;
  std::ofstream(directory + "/calls.txt") << g_calls.load() << '\n';
  return 0;
}

int sweepBody(const std::string& argument) {
  std::istringstream in(argument);
  int arming = 0;
  std::string directory;
  in >> arming >> g_failAt;
  in.get();
  std::getline(in, directory);
  return hostRun(static_cast<Arming>(arming), directory);
}

const cadence::harness::ChildBodyRegistration registerSweep(kBody, &sweepBody);

struct HostRun {
  ChildOutcome outcome;
  std::string log;     // memory.log
  std::string errors;  // the child's standard error
  int64_t calls = 0;   // counted by a run that completed
};

HostRun runWith(Arming arming, int64_t failAt) {
  const fs::path directory = cadence::test::makeUniqueDirectory("vel-new-sweep-");
  HostRun run;
  run.outcome = cadence::harness::runInChild(
      kBody, std::to_string(static_cast<int>(arming)) + " " + std::to_string(failAt) + " " + directory.string(),
      kChildLimit, (directory / "stderr.txt").string());
  run.log = cadence::harness::readFile((directory / "memory.log").string());
  run.errors = cadence::harness::readFile((directory / "stderr.txt").string());
  std::ifstream((directory / "calls.txt").string()) >> run.calls;
  fs::remove_all(directory);
  return run;
}

bool endedThroughTheReport(const HostRun& run) {
  return run.outcome.exitedWith(cadence::port::kStatusOfExitMinusOne) &&
         run.log.find("system free:") != std::string::npos;
}

#ifdef _WIN32
#define SKIP_ON_WINDOWS() GTEST_SKIP() << "a DLL's operator new is its own: no host's failure reaches it"
#else
#define SKIP_ON_WINDOWS() (void)0
#endif

TEST(OperatorNewSweep, NoFailureOfTheHostsOperatorNewUnwindsIntoTheHost) {
  SKIP_ON_WINDOWS();
  const HostRun counting = runWith(Arming::everyOperation, 0);
  ASSERT_TRUE(counting.outcome.exitedWith(0)) << counting.outcome.describe() << "\n" << counting.errors;
  ASSERT_GT(counting.calls, 0) << "the operations must reach the host's operator new";
  std::vector<std::string> faults;
  int reported = 0;
  for (int64_t n = 1; n <= counting.calls; ++n) {
    const HostRun run = runWith(Arming::everyOperation, n);
    if (endedThroughTheReport(run)) {
      ++reported;
    } else if (!run.outcome.exitedWith(0) && !run.outcome.exitedWith(kEntryPointRefused)) {
      faults.push_back("call " + std::to_string(n) + ": " +
                       (run.outcome.exitedWith(kUnwoundIntoHost) ? std::string("an exception reached the host")
                                                                 : run.outcome.describe()) +
                       "\n" + run.errors.substr(0, 600));
    }
  }
  EXPECT_TRUE(faults.empty()) << faults.size() << " of " << counting.calls << " runs, the first:\n" << faults.front();
  EXPECT_GT(reported, 0);
  std::printf("[ sweep    ] %lld calls of the host's operator new: %d ended through the report\n",
              static_cast<long long>(counting.calls), reported);
}

TEST(OperatorNewSweep, CreateTimerOnAFreshModuleWhoseFirstAllocationFailsEndsThroughTheReport) {
  SKIP_ON_WINDOWS();
  const HostRun run = runWith(Arming::createTimerOnly, 1);
  EXPECT_TRUE(endedThroughTheReport(run)) << run.outcome.describe() << "\nmemory.log: " << run.log << "\n"
                                          << run.errors;
}

}  // namespace

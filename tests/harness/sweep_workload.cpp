// The allocation-failure sweep's workload and the doubles it runs with: a
// heap that refuses a run of reallocations, a notice that leaves its text in
// a file (the process ends right after it), and a memory manager that gives
// memory back.
#include "tests/harness/sweep_workload.h"
#include "tests/support/test_listener.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_query.h"
#include "cadencehost/vel_string.h"
#include "memory/pool.h"
#include "memory/xal_alloc.h"
#include "report/memory_report.h"
#include "tests/harness/child_process.h"
#include "tests/support/fake_platform.h"
#include "tests/support/service_fakes.h"
#include "tests/support/test_host.h"
#include "text/translator_holder.h"
#include "text/vel_trivial_translator.h"
#include "timers/timer_impl.h"
#include "timers/timer_service.h"

namespace cadence::harness {

namespace {

// Forwards to the system heap; realloc requests number `first` to
// first + 8 (counted among reallocs alone) are refused. Freed blocks are
// overwritten first (those it handed out: it keeps their sizes), so code
// that reads a block after the spill freed it reads garbage even without
// AddressSanitizer.
class FailingReallocHeap : public cadence::port::Heap {
 public:
  explicit FailingReallocHeap(int64_t first) : first_(first) {}
  void* allocate(std::size_t bytes) override {
    ++calls;
    return remember(cadence::port::systemHeap().allocate(bytes), bytes);
  }
  void* reallocate(void* block, std::size_t bytes) override {
    ++calls;
    ++reallocs;
    if (first_ > 0 && reallocs >= first_ && reallocs < first_ + 9) return nullptr;
    void* moved = cadence::port::systemHeap().reallocate(block, bytes);
    if (moved || bytes == 0) sizes_.erase(block);
    return remember(moved, bytes);
  }
  void release(void* block) override {
    const auto known = sizes_.find(block);
    if (known != sizes_.end()) {
      std::memset(block, 0xA5, known->second);
      sizes_.erase(known);
    }
    cadence::port::systemHeap().release(block);
  }

  int64_t calls = 0;
  int64_t reallocs = 0;

 private:
  void* remember(void* block, std::size_t bytes) {
    if (block) sizes_[block] = bytes;
    return block;
  }

  int64_t first_;
  std::map<void*, std::size_t> sizes_;  // its own nodes come from operator new, not this heap
};

// The notice, written to a file with plain descriptor calls: the process
// ends right after it is shown.
class FileNotice : public cadence::port::Notice {
 public:
  explicit FileNotice(std::string path) : path_(std::move(path)) {}
  int show(const char16_t* text, const char16_t* caption, uint32_t style) override {
    std::FILE* f = std::fopen(path_.c_str(), "ab");
    if (f) {
      const std::string line = cadence::test::utf8(text ? text : u"") + "|" +
                               cadence::test::utf8(caption ? caption : u"") + "|" + std::to_string(style) + "\n";
      std::fwrite(line.data(), 1, line.size(), f);
      std::fclose(f);
    }
    return 1;
  }

 private:
  std::string path_;
};

std::u16string widen(const std::string& s) {
  std::u16string out;
  for (unsigned char c : s) out.push_back(c);
  return out;
}

// The workload proper; each wrong result is reported and counted.
class Workload {
 public:
  explicit Workload(const std::string& directory) : directory_(directory) {}

  int failures = 0;

  void expect(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "workload: wrong result: %s\n", what);
    ++failures;
  }

  void timers() {
    auto* service = new Velmora::TimerService;
    service->addRef();
    cadence::test::RecordingListener listeners[3];
    for (auto& l : listeners) l.addRef();  // the workload's own reference
    std::vector<VelCString> names;
    for (int i = 0; i < 20; ++i) names.push_back(VelCString::copyOf(("sweep-timer-" + std::to_string(i)).c_str()));
    for (int i = 0; i < 20; ++i) {
      Velmora::ITimer* timer = service->createTimer(names[i]);
      expect(timer != nullptr, "createTimer gives a timer");
      timer->addListener(&listeners[i % 3]);
      if (i % 4 == 0) timer->addListener(&listeners[(i + 1) % 3]);
      if (i < 3) timer->start(1);
    }
    expect(service->registry().bucketCount() == 37, "twenty names grow the registry to 37 buckets");
    QElapsedTimer clock;
    clock.start();
    while ((listeners[0].alerts == 0 || listeners[1].alerts == 0 || listeners[2].alerts == 0) &&
           clock.elapsed() < 5000) {
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    expect(listeners[0].alerts > 0 && listeners[1].alerts > 0 && listeners[2].alerts > 0,
           "running timers alert their listeners");
    for (int i = 0; i < 20; ++i) expect(service->hasTimer(names[i]), "every name is registered");
    for (int i = 0; i < 20; i += 2) expect(service->removeTimer(names[i]), "removeTimer of a registered name");
    for (int i = 0; i < 20; ++i) expect(service->hasTimer(names[i]) == (i % 2 == 1), "removed names are gone");
    service->createTimer(names[1]);  // replaces (and destroys) the timer under that name
    service->onShutdown();
    service->releaseRef();  // the registry releases the rest
    for (auto& l : listeners) expect(l.getRefCount() == 1, "every timer released its listeners");
  }

  void strings() {
    VelString text("start");
    const VelString piece("-0123456789");
    for (int i = 0; i < 200; ++i) text.append(piece);
    expect(text.length() == 5 + 200 * 11, "appends keep every unit");
    VelString pattern("%1 of %2, %3%");
    const VelString a("3"), b("7"), c("100");
    const VelString* args[] = {&a, &b, &c, nullptr};
    pattern.substituteArgs(args);
    expect(pattern.sameText(u"3 of 7, 100%"), "substituteArgs fills the placeholders");
    VelString big;
    std::u16string units(140000, u'x');  // beyond the largest pooled size
    big.assign(units.c_str(), VelString::kMeasure);
    expect(big.length() == 140000, "a large text is copied whole");
    const VelString cut = big.left(10);
    expect(cut.length() == 10, "left cuts");

    IVelTranslator* translator = getTranslator();
    const VelString x("x"), y("y");
    expect(translator->translate("%1 and %2", x, y).sameText(u"x and y"), "argument form");
    const VelString pair[] = {VelString("x"), VelString("y")};
    expect(translator->translate("%2/%1", 2, pair).sameText(u"y/x"), "array form");
    expect(translator->translate("plain").sameText(u"plain"), "key alone");
  }

  void pool() {
    // Enough blocks of two classes that their buckets' entries grow a few times.
    std::vector<std::pair<void*, int32_t>> blocks;
    for (int i = 0; i < 60; ++i) {
      const int32_t size = i % 3 == 0 ? 40 : 24;
      int32_t usable = 0;
      void* block = poolAllocate(size, &usable);
      expect(block != nullptr && usable >= size, "a small pooled block");
      if (block) std::memset(block, i, static_cast<size_t>(usable));
      blocks.emplace_back(block, usable);
    }
    for (auto& [block, usable] : blocks) poolFree(&usable, &block);
    for (const int32_t size : {100000, 300000}) {  // grows the class table; an unpooled block
      int32_t usable = 0;
      void* block = poolAllocate(size, &usable);
      expect(block != nullptr && usable >= size, "a large pooled block");
      if (block) std::memset(block, 0x5a, static_cast<size_t>(size));
      poolFree(&usable, &block);
    }
  }

  void guarded() {
    void* block = nullptr;
    const int32_t count = xalMalloc(&block, 4, 4096);
    expect(block != nullptr && count == 4096, "xalMalloc gives the block");
    if (!block) return;
    auto* words = static_cast<uint32_t*>(block);
    for (uint32_t i = 0; i < 4096; ++i) words[i] = i * 2654435761u;
    const int32_t grown = xalRealloc(&block, 4, 4096, 8192, 16384);
    expect(block != nullptr && grown >= 8192 && grown <= 16384, "xalRealloc settles within the bounds");
    if (!block) return;
    words = static_cast<uint32_t*>(block);
    bool kept = true;
    for (uint32_t i = 0; i < 4096; ++i) kept = kept && words[i] == i * 2654435761u;
    expect(kept, "growing keeps the contents");
    bool zeroed = true;
    for (int32_t i = 4096; i < grown; ++i) zeroed = zeroed && words[i] == 0;
    expect(zeroed, "growing zero-fills the new part");
    const int32_t shrunk = xalRealloc(&block, 4, grown, 100, 100);
    expect(shrunk == 100 && block != nullptr, "shrinking keeps a block");
    xalRealloc(&block, 4, shrunk, 0, 0);
    expect(block == nullptr, "shrinking to nothing frees it");
  }

  void report() {
    cadence::report::writeMemoryReport(0);
    const std::string log = directory_ + "/memory.log";
    const std::string text = readFile(log);
    expect(text.find("system free:") != std::string::npos, "memory.log holds the figures");
    expect(text.find("attempted:") == std::string::npos, "no attempted line for size 0");
    std::remove(log.c_str());
  }

 private:
  std::string directory_;
};

}  // namespace

std::string noticePath(const std::string& directory) { return directory + "/notice.txt"; }

std::string sweepArgument(const SweepSettings& settings) {
  return std::to_string(static_cast<int>(settings.mode)) + " " + std::to_string(settings.failAt) + " " +
         settings.directory;
}

namespace {

// The child's side: mode, request number, then the directory (the rest of the line).
int sweepWorkloadBody(const std::string& argument) {
  std::istringstream in(argument);
  int mode = 0;
  SweepSettings settings;
  in >> mode >> settings.failAt;
  in.get();
  std::getline(in, settings.directory);
  settings.mode = static_cast<SweepMode>(mode);
  return runSweepWorkload(settings);
}

const ChildBodyRegistration registerSweepWorkload(kSweepWorkloadBody, &sweepWorkloadBody);

}  // namespace

int runSweepWorkload(const SweepSettings& settings) {
  static int argc = 1;
  static char name[] = "harness_sweep";
  static char* argv[] = {name, nullptr};
  auto app = std::make_unique<QCoreApplication>(argc, argv);

  // The host: a data store naming the scratch directory for logs and spill
  // files (borrowed texts: setting them up allocates nothing), and a memory
  // manager in the mode that has one. Like any host's, they stay alive for
  // the rest of the process: process-wide service pointers keep references.
  static cadence::test::TestHost host;
  cadence::test::ScopedHost useHost(&host);
  static const std::u16string directory = widen(settings.directory);
  static cadence::test::FakeDataStore store;
  store.strings["Directories/Logs Directory"] = VelString::borrowing(directory.c_str());
  store.strings["Directories/Temp Directory"] = VelString::borrowing(directory.c_str());
  host.offer("IDataStore", static_cast<IDataStore*>(&store));
  static cadence::test::FakeMManager manager;  // gives a unit back whenever asked
  manager.answer = [](int) { return true; };
  if (settings.mode == SweepMode::FailOneCallWithManager)
    host.offer("IVelMManager", static_cast<VelMM::IVelMManager*>(&manager));

  FileNotice notice(noticePath(settings.directory));
  cadence::test::RecordingFiles files;
  const bool runOfReallocs = settings.mode == SweepMode::FailReallocRun;
  cadence::test::FailingHeap failOne = cadence::test::FailingHeap::nth(runOfReallocs ? 0 : settings.failAt);
  FailingReallocHeap failRun(runOfReallocs ? settings.failAt : 0);
  cadence::port::Heap& heap =
      runOfReallocs ? static_cast<cadence::port::Heap&>(failRun) : static_cast<cadence::port::Heap&>(failOne);
  Workload work(settings.directory);
  {
    cadence::port::ScopedOverride<cadence::port::Notice> useNotice(notice);
    cadence::port::ScopedOverride<cadence::port::Files> useFiles(files);
    cadence::port::ScopedOverride<cadence::port::Heap> useHeap(heap);
    work.timers();
    work.strings();
    work.pool();
    work.guarded();
    work.report();
  }

  // FailingHeap does not tell mallocs from reallocs, so the counting run is
  // made in the realloc mode, whose heap counts both.
  SweepCounts counts;
  counts.heapCalls = runOfReallocs ? failRun.calls : failOne.calls;
  counts.reallocs = runOfReallocs ? failRun.reallocs : 0;
  for (const std::string& path : files.openedPaths)
    if (path.find("-temp") != std::string::npos) ++counts.spills;
  counts.managerUnits = manager.freeCalls;
  std::ofstream out(settings.directory + "/counts.txt");
  out << counts.heapCalls << ' ' << counts.reallocs << ' ' << counts.spills << ' ' << counts.managerUnits << '\n';
  out.close();
  app.reset();
  return work.failures == 0 ? 0 : 3;
}

SweepCounts readSweepCounts(const std::string& directory) {
  SweepCounts counts;
  std::ifstream in(directory + "/counts.txt");
  in >> counts.heapCalls >> counts.reallocs >> counts.spills >> counts.managerUnits;
  return counts;
}

}  // namespace cadence::harness

// Shared pieces of the timer tests: the application object, bounded waits and
// the allocation counter (a replaced global operator new plus a counting
// platform heap).
#include "tests/timers/timer_test_support.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/support/fake_platform.h"
#include "tests/support/test_application.h"

namespace {
std::atomic<int64_t> newCalls{0};

void* countedNew(std::size_t bytes) {
  newCalls.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(bytes ? bytes : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t bytes) { return countedNew(bytes); }
void* operator new[](std::size_t bytes) { return countedNew(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  newCalls.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(bytes ? bytes : 1);
}
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
  newCalls.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(bytes ? bytes : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace cadence::test {

QCoreApplication& app() { return testApplication(); }

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
  app();
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    const qint64 left = timeoutMs - clock.elapsed();
    if (left <= 0) return done();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, static_cast<int>(left < 20 ? left : 20));
  }
  return true;
}

void pumpFor(int ms) { pumpUntil([] { return false; }, ms); }

struct AllocationCounter::HeapProbe {
  // Room for the sizes it records, so its own bookkeeping is no operator new.
  HeapProbe() { heap.requestedSizes.reserve(4096); }
  cadence::test::FailingHeap heap;  // never told to fail: it counts
  cadence::port::ScopedOverride<cadence::port::Heap> use{heap};
};

AllocationCounter::AllocationCounter()
    : startNew_(newCalls.load()), heap_(new HeapProbe) {
  startNew_ = newCalls.load();  // the probe itself is not counted
}

AllocationCounter::~AllocationCounter() { delete heap_; }

int64_t AllocationCounter::count() const { return newCalls.load() - startNew_ + heap_->heap.calls; }

}  // namespace cadence::test

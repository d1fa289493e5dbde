// Shared pieces of the timer tests: the application object, bounded waits and
// the allocation counter (the replaced global operator new's count plus a
// counting platform heap).
#include "tests/timers/timer_test_support.h"

#include "tests/support/fake_platform.h"
#include "tests/support/replaced_new.h"
#include "tests/support/test_application.h"

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

void pumpFor(int ms) {
  pumpUntil([] { return false; }, ms);
}

struct AllocationCounter::HeapProbe {
  // Room for the sizes it records, so its own bookkeeping is no operator new.
  HeapProbe() { heap.requestedSizes.reserve(4096); }
  cadence::test::FailingHeap heap;  // never told to fail: it counts
  cadence::port::ScopedOverride<cadence::port::Heap> use{heap};
};

AllocationCounter::AllocationCounter() : startNew_(operatorNewCalls()), heap_(new HeapProbe) {
  startNew_ = operatorNewCalls();  // the probe itself is not counted
}

AllocationCounter::~AllocationCounter() = default;

int64_t AllocationCounter::count() const { return operatorNewCalls() - startNew_ + heap_->heap.calls; }

}  // namespace cadence::test

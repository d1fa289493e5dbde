// Where memory runs out or a size cannot be had, the out-of-memory way is
// taken (memory.log names the size asked for, then the process ends): for
// lengths past the framework's 32-bit sizes, which never become a smaller
// block, and for what the module allocates inside a call from the host,
// which never leaves as an exception. The texts of billions of characters
// are mapped, not allocated.
#include <cstdlib>
#include <string>

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_string.h"
#include "tests/report/report_fixture.h"
#include "tests/support/huge_text.h"
#include "tests/support/test_listener.h"
#include "timers/timer_impl.h"
#include "timers/timer_registry.h"
#include "timers/timer_service.h"

namespace {

class OutOfMemoryReach : public cadence::test::ReportFixture {
 protected:
  // The size memory.log names after `call` ended the process.
  template <class Call>
  uint64_t attemptedBy(Call&& call) {
    std::filesystem::remove(directory / "memory.log");
    EXPECT_THROW(call(), cadence::test::ExitCalled);
    const std::string log = logText();
    const std::string label = "attempted:";
    if (log.rfind(label, 0) != 0) return 0;
    return std::strtoull(log.c_str() + label.size(), nullptr, 10);
  }

  cadence::test::ThrowingProcess process;
  cadence::port::ScopedOverride<cadence::port::Process> useProcess{process};
};

TEST_F(OutOfMemoryReach, EveryLengthPastThirtyTwoBitsReportsTheSizeItWouldTake) {
  constexpr uint64_t k4Gi = uint64_t{1} << 32;
  const cadence::test::HugeText text(k4Gi, 1, 'a');  // 2^32 bytes, or 2^31 units read as UTF-16
  if (!text.valid()) GTEST_SKIP() << "the system gave no room for a mapped text of 4 GiB";

  EXPECT_EQ(attemptedBy([&] { VelCString::copyOf(text.narrow()); }), k4Gi + 1);
  EXPECT_EQ(attemptedBy([&] { VelString widened(text.narrow()); }), (k4Gi + 1) * 2);
  VelString measured;
  EXPECT_EQ(attemptedBy([&] { measured.assign(text.wide(), VelString::kMeasure); }), (k4Gi / 2 + 1) * 2);

  // Two texts that fit alone but not together.
  const cadence::test::HugeText half(uint64_t{1} << 29, 2, u'a');
  ASSERT_TRUE(half.valid());
  VelString appended = VelString::borrowing(half.wide());
  EXPECT_EQ(attemptedBy([&] { appended.append(VelString::borrowing(half.wide())); }), ((uint64_t{1} << 30) + 1) * 2);

  // The registry's own copy of an owned name.
  Velmora::TimerRegistry registry;
  VelCString owned;
  owned.text = const_cast<char*>(text.narrow());
  owned.capacity = 1;  // claims the text as its own, so the registry copies it
  EXPECT_GT(attemptedBy([&] { registry.put(owned, [] { return static_cast<Velmora::ITimer*>(nullptr); }); }), k4Gi + 1);
  owned.text = nullptr;
  owned.capacity = 0;
  EXPECT_EQ(registry.entryCount(), 0);

  // An array whose doubled capacity no longer fits.
  VelArray<char> array;
  EXPECT_EQ(attemptedBy([&] { array.reserveSlot(INT32_MAX); }), uint64_t{1} << 31);
}

// A timer, a listener set's storage: refused by the heap, each ends in the
// report with its size instead of a std::bad_alloc through the host.
TEST_F(OutOfMemoryReach, AllocationsInsideCallsFromTheHostEndInTheReport) {
  Velmora::TimerService service;
  // The pool and the registry's table made first, so that the timer's own
  // block is the first of its size asked for; the report's blocks that
  // happen to share it are not refused.
  service.createTimer(VelCString("warm"));
  EXPECT_TRUE(service.removeTimer(VelCString("warm")));
  cadence::test::FailingHeap heap;
  std::size_t refused = sizeof(Velmora::TimerImpl);
  heap.shouldFail = [&, once = true](int64_t, std::size_t bytes) mutable {
    if (!once || bytes != refused) return false;
    once = false;
    return true;
  };
  cadence::port::ScopedOverride<cadence::port::Heap> useHeap(heap);
  EXPECT_EQ(attemptedBy([&] { service.createTimer(VelCString("t")); }), sizeof(Velmora::TimerImpl));
  EXPECT_FALSE(service.hasTimer(VelCString("t")));

  refused = 0;
  Velmora::ITimer* timer = service.createTimer(VelCString("t"));
  timer->addListener(new cadence::test::RecordingListener);  // kept in the set's own word
  const int64_t armedAt = heap.calls;
  heap.shouldFail = [armedAt](int64_t call, std::size_t) { return call == armedAt + 1; };  // the set's block
  cadence::test::RecordingListener refusedListener;
  refusedListener.addRef();  // the test's own: never deleted through a count
  EXPECT_GT(attemptedBy([&] { timer->addListener(&refusedListener); }), 0u);
  heap.shouldFail = nullptr;
  EXPECT_EQ(refusedListener.getRefCount(), 1);
  EXPECT_EQ(dynamic_cast<Velmora::TimerImpl*>(timer)->listenerCount(), 1);
  EXPECT_TRUE(service.removeTimer(VelCString("t")));
}

}  // namespace

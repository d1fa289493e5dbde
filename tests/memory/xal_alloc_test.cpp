// Guarded allocation in-process: the order of xalRealloc's checks, the
// narrowing rounds with and without the memory manager, the assertions, and
// the sizes that must never reach the heap as small or wrapped requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "memory/xal_alloc.h"
#include "tests/memory/memory_doubles.h"

namespace {

using cadence::test::ExitCalled;
using cadence::test::FailingHeap;

// Sizes asked of the heap, in elements of `elemSize`, after the first `skip` calls.
std::vector<size_t> elementsAsked(const FailingHeap& heap, size_t elemSize, size_t skip = 0) {
  std::vector<size_t> out;
  for (size_t i = skip; i < heap.requestedSizes.size(); ++i) out.push_back(heap.requestedSizes[i] / elemSize);
  return out;
}

void* heapBlock(size_t bytes, unsigned char fill) {
  void* block = cadence::port::sysMalloc(bytes);
  std::memset(block, fill, bytes);
  return block;
}

TEST(XalReallocChecks, EarlyAnswersTouchNothing) {
  FailingHeap heap;
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  void* none = nullptr;
  EXPECT_EQ(xalRealloc(&none, 4, 7, 7, 100), 7);  // cur = min, even with a null block
  EXPECT_EQ(none, nullptr);

  void* block = heapBlock(40, 0xAB);
  void* before = block;
  EXPECT_EQ(xalRealloc(&block, 4, 10, 5, 20), 10);  // min <= cur <= max
  EXPECT_EQ(block, before);
  EXPECT_EQ(heap.calls, 1);  // heapBlock's own
  cadence::port::sysFree(block);
}

TEST(XalReallocChecks, NullOrEmptyBlockGetsExactlyMin) {
  FailingHeap heap;
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  void* block = nullptr;
  EXPECT_EQ(xalRealloc(&block, 4, 0, 3, 1000), 3);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(heap.requestedSizes, std::vector<size_t>{12});
  cadence::port::sysFree(block);
}

TEST(XalReallocChecks, ShrinkingFreesAtZeroAndKeepsBlockWhenRefused) {
  FailingHeap heap;
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  void* block = heapBlock(40, 1);
  EXPECT_EQ(xalRealloc(&block, 4, 10, 0, 0), 0);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(heap.frees, 1);

  // A refused shrink must not lose the block: it still holds the elements.
  block = heapBlock(400, 7);
  void* before = block;
  heap.shouldFail = [](int64_t, size_t) { return true; };
  EXPECT_EQ(xalRealloc(&block, 4, 100, 0, 10), 10);
  EXPECT_EQ(block, before);
  EXPECT_EQ(static_cast<unsigned char*>(block)[39], 7);
  cadence::port::sysFree(block);
}

TEST(XalReallocChecks, GrowingZeroFillsTheNewTailAndKeepsTheHead) {
  FailingHeap heap;
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  void* block = heapBlock(40, 0xAB);
  EXPECT_EQ(xalRealloc(&block, 4, 10, 16, -1), 16);  // max -1 stands for min
  auto* bytes = static_cast<unsigned char*>(block);
  for (int i = 0; i < 40; ++i) ASSERT_EQ(bytes[i], 0xAB) << i;
  for (int i = 40; i < 64; ++i) ASSERT_EQ(bytes[i], 0) << i;
  cadence::port::sysFree(block);
}

TEST(XalReallocNarrowing, HalvesTowardMinAndSettlesForWhatFits) {
  cadence::test::MemoryHostScope scope;  // a host without a memory manager
  FailingHeap heap;
  heap.shouldFail = [](int64_t, size_t bytes) { return bytes > 400; };  // 100 elements fit
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  void* block = heapBlock(40, 3);
  EXPECT_EQ(xalRealloc(&block, 4, 10, 20, 1000), 81);
  EXPECT_EQ(elementsAsked(heap, 4, 1), (std::vector<size_t>{1000, 510, 265, 142, 81}));
  EXPECT_EQ(static_cast<unsigned char*>(block)[39], 3);
  EXPECT_EQ(static_cast<unsigned char*>(block)[323], 0);
  cadence::port::sysFree(block);

  heap.requestedSizes.clear();
  heap.shouldFail = [](int64_t, size_t bytes) { return bytes > 80; };  // only min fits
  block = heapBlock(40, 3);
  EXPECT_EQ(xalRealloc(&block, 4, 10, 20, 1000), 20);
  EXPECT_EQ(elementsAsked(heap, 4, 1), (std::vector<size_t>{1000, 510, 265, 142, 81, 50, 35, 27, 20}));
  cadence::port::sysFree(block);
}

TEST(XalReallocNarrowing, ManagerHelpsFromTheThirdRoundAndIsDroppedAfterNo) {
  cadence::test::MemoryHostScope scope;
  scope.offerManager();
  bool memoryFreed = false;
  scope.manager.answer = [&](int) { return memoryFreed = true; };
  FailingHeap heap;
  heap.shouldFail = [&](int64_t, size_t bytes) { return bytes > (memoryFreed ? 600u : 80u); };
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  void* block = heapBlock(40, 3);
  EXPECT_EQ(xalRealloc(&block, 4, 10, 20, 1000), 142);
  EXPECT_EQ(elementsAsked(heap, 4, 1), (std::vector<size_t>{1000, 510, 265, 142, 142}));
  EXPECT_EQ(scope.manager.freeCalls, 1);
  cadence::port::sysFree(block);

  // A manager that says no is asked once in the call, then never again.
  scope.manager.freeCalls = 0;
  scope.manager.answer = nullptr;
  heap.shouldFail = [](int64_t, size_t bytes) { return bytes > 80; };
  block = heapBlock(40, 3);
  EXPECT_EQ(xalRealloc(&block, 4, 10, 20, 1000), 20);
  EXPECT_EQ(scope.manager.freeCalls, 1);
  cadence::port::sysFree(block);
}

TEST(XalMallocRetries, ManagerIsAskedUntilItSaysNo) {
  cadence::test::MemoryHostScope scope;
  scope.offerManager();
  scope.manager.answer = [](int call) { return call < 4; };
  FailingHeap heap;
  heap.shouldFail = [](int64_t, size_t bytes) { return bytes == 4096; };
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  cadence::test::ThrowingProcess process;
  cadence::port::ScopedOverride<cadence::port::Process> useProcess(process);
  void* block = nullptr;
  EXPECT_THROW(xalMalloc(&block, 16, 256), ExitCalled);
  EXPECT_EQ(scope.manager.freeCalls, 4);  // three yes, one no, no more
  // The first try and one per yes (the report's own buffers come on top).
  EXPECT_EQ(std::count(heap.requestedSizes.begin(), heap.requestedSizes.end(), 4096u), 4);
  EXPECT_EQ(process.statuses, std::vector<int>{-1});
  EXPECT_EQ(scope.notice.calls.size(), 1u);

  // Memory that comes back on the manager's second yes ends the retries.
  scope.manager.freeCalls = 0;
  scope.manager.answer = [](int) { return true; };
  heap.shouldFail = [&](int64_t, size_t) { return scope.manager.freeCalls < 2; };
  EXPECT_EQ(xalMalloc(&block, 16, 256), 256);
  EXPECT_NE(block, nullptr);
  EXPECT_EQ(scope.manager.freeCalls, 2);
  cadence::port::sysFree(block);
}

TEST(XalReallocAssertions, ReportToTheHandlerAndCarryOn) {
  cadence::test::MemoryHostScope scope;
  scope.offerAssertHandler();
  void* block = heapBlock(40, 1);
  EXPECT_EQ(xalRealloc(&block, 4, 10, 4, 2), 2);  // reported, then shrunk to max
  ASSERT_EQ(scope.assertHandler.seen.size(), 1u);
  EXPECT_EQ(scope.assertHandler.seen[0].expression, "maxNewSize >= minNewSize");
  EXPECT_EQ(scope.assertHandler.seen[0].file, ".\\xalrealloc");
  EXPECT_GT(scope.assertHandler.seen[0].line, 0);

  // Growing with max < min fails both checks, in order, then grows to max.
  EXPECT_EQ(xalRealloc(&block, 4, 2, 10, 5), 5);
  ASSERT_EQ(scope.assertHandler.seen.size(), 3u);
  EXPECT_EQ(scope.assertHandler.seen[1].expression, "maxNewSize >= minNewSize");
  EXPECT_EQ(scope.assertHandler.seen[2].expression, "minNewSize > curSize && maxNewSize >= minNewSize");
  EXPECT_NE(scope.assertHandler.seen[2].line, scope.assertHandler.seen[1].line);
  cadence::port::sysFree(block);
}

// Sizes that do not fit below 2^31, or are negative, must take the
// out-of-memory path with their true size and never reach the heap.
TEST(XalImpossibleSizes, NeverReachTheHeap) {
  cadence::test::MemoryHostScope scope;
  FailingHeap heap;
  cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
  cadence::test::ThrowingProcess process;
  cadence::port::ScopedOverride<cadence::port::Process> useProcess(process);
  void* block = nullptr;
  EXPECT_THROW(xalMalloc(&block, 65536, 65536), ExitCalled);  // 2^32 wraps to 0 in 32 bits
  EXPECT_THROW(xalMalloc(&block, 4, -3), ExitCalled);
  EXPECT_THROW(xalMalloc(&block, 2, 1 << 30), ExitCalled);  // exactly 2^31
  block = heapBlock(40, 1);
  EXPECT_THROW(xalRealloc(&block, 4, 10, -3, -1), ExitCalled);  // shrink to a negative count
  EXPECT_EQ(process.statuses, (std::vector<int>{-1, -1, -1, -1}));
  EXPECT_EQ(scope.notice.calls.size(), 4u);

  // A growth whose upper bound cannot be a block settles inside the bounds.
  heap.shouldFail = [](int64_t, size_t bytes) { return bytes > 4000; };
  EXPECT_EQ(xalRealloc(&block, 4, 10, 100, 1 << 30), 100);
  // Whatever the report's own buffers asked for, no request was wrapped.
  for (size_t bytes : heap.requestedSizes) {
    EXPECT_GT(bytes, 0u);
    EXPECT_LT(bytes, size_t{1} << 31);
  }
  cadence::port::sysFree(block);
}

}  // namespace

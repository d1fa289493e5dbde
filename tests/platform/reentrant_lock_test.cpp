// The re-entrant lock under contention: mutual exclusion between threads,
// re-entry by the owner, and tryEnter from another thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

#include "platform/reentrant_lock.h"

namespace {

constexpr int kThreads = 4;

TEST(ReentrantLock, ExcludesOtherThreadsAndReentersForTheOwner) {
  cadence::port::ReentrantLock lock;
  int64_t counter = 0;  // plain: only touched under the lock
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      cadence::port::ReentrantLockGuard outer(lock);
      cadence::port::ReentrantLockGuard inner(lock);  // the owner enters again
      EXPECT_TRUE(lock.heldByCurrentThread());
      ++counter;
    }
    EXPECT_FALSE(lock.heldByCurrentThread());
  };
  std::vector<std::thread> threads;
  for (int id = 0; id < kThreads; ++id) threads.emplace_back(work);
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, int64_t{kThreads} * 20000);

  lock.enter();
  std::thread other([&] { EXPECT_FALSE(lock.tryEnter()); });
  other.join();
  EXPECT_TRUE(lock.tryEnter());  // the owner may
  lock.leave();
  lock.leave();
  std::thread after([&] {
    EXPECT_TRUE(lock.tryEnter());
    lock.leave();
  });
  after.join();
}

}  // namespace

// Several threads allocating and freeing through the pool at once: every
// block a thread holds carries that thread's mark over its whole usable size,
// so a block handed out twice, or reused while held, breaks a mark. Also the
// pool lock's re-entrance and mutual exclusion under contention.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "cadencehost/vel_cstring.h"
#include "memory/pool.h"
#include "memory/pool_lock.h"

namespace {

constexpr int kThreads = 4;

struct Held {
  unsigned char* block;
  int32_t usable;
};

bool markIntact(const Held& h, unsigned char mark) {
  for (int32_t i = 0; i < h.usable; ++i) {
    if (h.block[i] != mark) return false;
  }
  return true;
}

TEST(PoolThreads, NoBlockIsLostOrHandedOutTwice) {
  std::atomic<int> broken{0};
  std::atomic<int64_t> handedOut{0};
  std::atomic<int> ready{0};
  auto work = [&](int id) {
    const auto mark = static_cast<unsigned char>(0x10 + id);
    std::mt19937 random(1234 + id);
    std::vector<Held> held;
    ++ready;
    while (ready.load() < kThreads) std::this_thread::yield();  // start together
    for (int round = 0; round < 100000; ++round) {
      if (held.size() < 32 && (held.empty() || random() % 2 == 0)) {
        // Mostly a few small classes, so the threads meet in the same buckets.
        const int32_t sizes[] = {8, 8, 24, 64, 1, 200, 1000, 8192, 20000, 300000};
        const int32_t size = sizes[random() % (round % 64 == 0 ? 10 : 4)];
        Held h{};
        h.block = static_cast<unsigned char*>(poolAllocate(size, &h.usable));
        if (h.usable < size) ++broken;
        std::memset(h.block, mark, static_cast<size_t>(h.usable));
        held.push_back(h);
        ++handedOut;
      } else {
        const size_t pick = random() % held.size();
        if (!markIntact(held[pick], mark)) ++broken;
        void* block = held[pick].block;
        poolFree(&held[pick].usable, &block);
        held[pick] = held.back();
        held.pop_back();
      }
      if (round % 16 == 0) {  // name strings take the same road
        VelCString name = VelCString::copyOf("TimerService");
        if (name != "TimerService") ++broken;
      }
    }
    for (Held& h : held) {
      if (!markIntact(h, mark)) ++broken;
      void* block = h.block;
      poolFree(&h.usable, &block);
    }
  };
  std::vector<std::thread> threads;
  for (int id = 0; id < kThreads; ++id) threads.emplace_back(work, id);
  for (auto& t : threads) t.join();
  EXPECT_EQ(broken.load(), 0);
  EXPECT_GT(handedOut.load(), kThreads * 1000);
}

TEST(PoolLock, ExcludesOtherThreadsAndReentersForTheOwner) {
  cadence::port::ReentrantLock& lock = poolLock();
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

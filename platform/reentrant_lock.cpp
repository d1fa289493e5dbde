// The contended path of the re-entrant lock: spin a little (the pool's
// critical sections are short), then yield, then sleep in doubling steps of
// at most a millisecond, looking at the lock word after each. A leave wakes
// no one, so the holder's path stays free of read-modify-write operations;
// a holder that keeps the lock long (an out-of-memory notice on screen)
// costs its waiters no more than a wake-up per millisecond.
#include "platform/reentrant_lock.h"

#include <chrono>
#include <thread>

namespace cadence::port {

namespace {

inline void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#elif defined(__aarch64__)
  asm volatile("yield");
#endif
}

constexpr int kSpins = 200;
constexpr int kYields = 20;
constexpr auto kLongestSleep = std::chrono::microseconds(1000);

}  // namespace

void ReentrantLock::waitAndEnter(uintptr_t self) {
  auto sleep = std::chrono::microseconds(1);
  for (int attempt = 0;; ++attempt) {
    uintptr_t expected = 0;
    if (owner_.load(std::memory_order_relaxed) == 0 &&
        owner_.compare_exchange_weak(expected, self, std::memory_order_acquire, std::memory_order_relaxed)) {
      depth_ = 1;
      return;
    }
    if (attempt < kSpins) {
      cpuRelax();
    } else if (attempt < kSpins + kYields) {
      std::this_thread::yield();
    } else {
      std::this_thread::sleep_for(sleep);
      if (sleep < kLongestSleep) sleep *= 2;
    }
  }
}

}  // namespace cadence::port

// A re-entrant lock: the owning thread may enter again; it is free once every
// enter has been matched by a leave. One atomic word holds the owner's id: an
// uncontended enter costs one compare-exchange (a nested one finds its own id
// in the failed exchange), a leave one release store (no read-modify-write),
// a nested leave no atomic operation at all. Waiters
// spin briefly, then yield, then sleep in growing steps (at most a
// millisecond) and look again, so a leave never has to wake anyone.
// On Windows the lock is a critical section instead (reentrant_lock_windows.h).
#pragma once

#include <atomic>
#include <cstdint>

#if defined(_WIN32)
#include "platform/windows/reentrant_lock_windows.h"
#else

namespace cadence::port {

class ReentrantLock {
 public:
  constexpr ReentrantLock() = default;
  ReentrantLock(const ReentrantLock&) = delete;
  ReentrantLock& operator=(const ReentrantLock&) = delete;

  void enter() {
    const uintptr_t self = currentThreadId();
    uintptr_t expected = 0;
    if (owner_.compare_exchange_strong(expected, self, std::memory_order_acquire, std::memory_order_relaxed))
        [[likely]] {
      depth_ = 1;
      return;
    }
    if (expected == self) {
      ++depth_;  // only this thread can have stored its own id
      return;
    }
    waitAndEnter(self);
  }

  bool tryEnter() {
    const uintptr_t self = currentThreadId();
    if (owner_.load(std::memory_order_relaxed) == self) {
      ++depth_;
      return true;
    }
    uintptr_t expected = 0;
    if (!owner_.compare_exchange_strong(expected, self, std::memory_order_acquire, std::memory_order_relaxed)) {
      return false;
    }
    depth_ = 1;
    return true;
  }

  // Must be called by the owner only.
  void leave() {
    if (--depth_ != 0) return;
    owner_.store(0, std::memory_order_release);
  }

  bool heldByCurrentThread() const { return owner_.load(std::memory_order_relaxed) == currentThreadId(); }

 private:
  // The address of a thread-local object: unique among live threads, never 0.
  // In the static TLS block, so that a module loaded at run time reaches it
  // through the thread pointer instead of a call to the TLS resolver on every
  // enter.
  static uintptr_t currentThreadId() {
#if defined(__GNUC__) && !defined(_WIN32)
    static thread_local char marker __attribute__((tls_model("initial-exec")));
#else
    static thread_local char marker;
#endif
    return reinterpret_cast<uintptr_t>(&marker);
  }
  void waitAndEnter(uintptr_t self);

  std::atomic<uintptr_t> owner_{0};
  uint32_t depth_ = 0;  // touched only by the owner
};

}  // namespace cadence::port

#endif

namespace cadence::port {

class ReentrantLockGuard {
 public:
  explicit ReentrantLockGuard(ReentrantLock& lock) : lock_(lock) { lock_.enter(); }
  ~ReentrantLockGuard() { lock_.leave(); }
  ReentrantLockGuard(const ReentrantLockGuard&) = delete;
  ReentrantLockGuard& operator=(const ReentrantLockGuard&) = delete;

 private:
  ReentrantLock& lock_;
};

}  // namespace cadence::port

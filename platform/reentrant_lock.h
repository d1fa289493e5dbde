// A re-entrant lock: the owning thread may enter again; it is free once every
// enter has been matched by a leave. Uncontended enter/leave cost one atomic
// exchange each; waiters sleep instead of spinning.
#pragma once

#include <atomic>
#include <cstdint>

namespace velport {

class ReentrantLock {
 public:
  ReentrantLock() = default;
  ReentrantLock(const ReentrantLock&) = delete;
  ReentrantLock& operator=(const ReentrantLock&) = delete;

  void enter();
  bool tryEnter();
  void leave();
  bool heldByCurrentThread() const;

 private:
  static uintptr_t currentThreadId();
  void waitForRelease();

  std::atomic<uintptr_t> owner_{0};
  std::atomic<uint32_t> waiters_{0};
  uint32_t depth_ = 0;  // touched only by the owner
};

class ReentrantLockGuard {
 public:
  explicit ReentrantLockGuard(ReentrantLock& lock) : lock_(lock) { lock_.enter(); }
  ~ReentrantLockGuard() { lock_.leave(); }
  ReentrantLockGuard(const ReentrantLockGuard&) = delete;
  ReentrantLockGuard& operator=(const ReentrantLockGuard&) = delete;

 private:
  ReentrantLock& lock_;
};

}  // namespace velport

// Re-entrant lock on an atomic owner id. The owner id is the address of a
// thread-local byte, so finding it costs no system call.
#include "platform/reentrant_lock.h"

namespace velport {

uintptr_t ReentrantLock::currentThreadId() {
  static thread_local char marker;
  return reinterpret_cast<uintptr_t>(&marker);
}

bool ReentrantLock::heldByCurrentThread() const {
  return owner_.load(std::memory_order_relaxed) == currentThreadId();
}

bool ReentrantLock::tryEnter() {
  const uintptr_t self = currentThreadId();
  uintptr_t expected = 0;
  if (owner_.compare_exchange_strong(expected, self, std::memory_order_acquire,
                                     std::memory_order_relaxed)) {
    depth_ = 1;
    return true;
  }
  if (expected == self) {
    ++depth_;
    return true;
  }
  return false;
}

void ReentrantLock::enter() {
  if (tryEnter()) return;
  waitForRelease();
}

void ReentrantLock::waitForRelease() {
  const uintptr_t self = currentThreadId();
  for (int spin = 0; spin < 64; ++spin) {
    uintptr_t expected = 0;
    if (owner_.load(std::memory_order_relaxed) == 0 &&
        owner_.compare_exchange_weak(expected, self, std::memory_order_acquire,
                                     std::memory_order_relaxed)) {
      depth_ = 1;
      return;
    }
  }
  // Sequentially consistent with the release in leave(): either the owner
  // sees this waiter and wakes it, or this thread sees the lock free.
  waiters_.fetch_add(1, std::memory_order_seq_cst);
  for (;;) {
    uintptr_t seen = owner_.load(std::memory_order_seq_cst);
    if (seen == 0) {
      uintptr_t expected = 0;
      if (owner_.compare_exchange_weak(expected, self, std::memory_order_acquire,
                                       std::memory_order_relaxed)) {
        break;
      }
      continue;
    }
    owner_.wait(seen, std::memory_order_relaxed);
  }
  waiters_.fetch_sub(1, std::memory_order_relaxed);
  depth_ = 1;
}

void ReentrantLock::leave() {
  if (--depth_ != 0) return;
  owner_.store(0, std::memory_order_seq_cst);
  if (waiters_.load(std::memory_order_seq_cst) != 0) owner_.notify_all();
}

}  // namespace velport

// The re-entrant lock on Windows: a critical section, initialised on its
// first use and never deleted. The first use goes through the system's
// one-time initialisation, so two threads arriving at once are safe. The
// section lives in storage of its size here, so users of the lock need no
// system header, and the lock is constant-initialised (usable before any
// constructor runs).
#pragma once

namespace cadence::port {

class ReentrantLock {
 public:
  constexpr ReentrantLock() = default;
  ReentrantLock(const ReentrantLock&) = delete;
  ReentrantLock& operator=(const ReentrantLock&) = delete;

  void enter();     // EnterCriticalSection
  bool tryEnter();  // TryEnterCriticalSection
  // Must be called by the owner only.
  void leave();  // LeaveCriticalSection
  bool heldByCurrentThread() const;

 private:
  void* section() const;  // the initialised CRITICAL_SECTION

  mutable void* once_ = nullptr;                       // an INIT_ONCE
  alignas(8) mutable unsigned char storage_[40] = {};  // a CRITICAL_SECTION
};

}  // namespace cadence::port

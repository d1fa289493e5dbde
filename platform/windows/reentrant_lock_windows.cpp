// The critical section behind the re-entrant lock on Windows.
#include "platform/reentrant_lock.h"

#include "platform/windows/windows_api.h"

namespace cadence::port {
namespace {

static_assert(sizeof(CRITICAL_SECTION) <= 40 && alignof(CRITICAL_SECTION) <= 8, "the lock's storage holds a section");
static_assert(sizeof(INIT_ONCE) == sizeof(void*), "the lock's once-word is an INIT_ONCE");

BOOL CALLBACK initialiseSection(PINIT_ONCE, PVOID section, PVOID*) {
  InitializeCriticalSection(static_cast<CRITICAL_SECTION*>(section));
  return TRUE;
}

CRITICAL_SECTION* asSection(void* storage) { return static_cast<CRITICAL_SECTION*>(storage); }

}  // namespace

void* ReentrantLock::section() const {
  InitOnceExecuteOnce(reinterpret_cast<PINIT_ONCE>(&once_), initialiseSection, storage_, nullptr);
  return storage_;
}

void ReentrantLock::enter() { EnterCriticalSection(asSection(section())); }

bool ReentrantLock::tryEnter() { return TryEnterCriticalSection(asSection(section())) != FALSE; }

void ReentrantLock::leave() { LeaveCriticalSection(asSection(section())); }

bool ReentrantLock::heldByCurrentThread() const {
  // The section records its owner's thread id; only the owner can find its
  // own id there, so an unlocked read is enough.
  const auto owner = reinterpret_cast<DWORD_PTR>(asSection(section())->OwningThread);
  return owner == GetCurrentThreadId();
}

}  // namespace cadence::port

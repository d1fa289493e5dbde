/* Thread-safe initialization of function-local statics, as the compiler
   emits it for MSVC: a guard per static, 0 before and -1 during its
   initialization, then an epoch. A thread whose own epoch is at least the
   guard's knows the static is ready without a lock; otherwise
   _Init_thread_header decides under one process-wide lock: the first
   caller initializes (the others wait), a later one finds it done. An
   initializer that throws calls _Init_thread_abort: the next caller tries
   again. */
#include <limits.h>
#include <windows.h>

#define UNINITIALIZED 0
#define BEING_INITIALIZED (-1)

static SRWLOCK guard_lock = SRWLOCK_INIT;
static CONDITION_VARIABLE guard_changed = CONDITION_VARIABLE_INIT;

int _Init_global_epoch = INT_MIN;
__declspec(thread) int _Init_thread_epoch = INT_MIN;

void __cdecl _Init_thread_header(int *guard) {
  AcquireSRWLockExclusive(&guard_lock);
  while (*guard == BEING_INITIALIZED) SleepConditionVariableSRW(&guard_changed, &guard_lock, INFINITE, 0);
  if (*guard == UNINITIALIZED)
    *guard = BEING_INITIALIZED; /* this caller initializes */
  else
    _Init_thread_epoch = _Init_global_epoch;
  ReleaseSRWLockExclusive(&guard_lock);
}

void __cdecl _Init_thread_footer(int *guard) {
  AcquireSRWLockExclusive(&guard_lock);
  *guard = ++_Init_global_epoch;
  _Init_thread_epoch = _Init_global_epoch;
  ReleaseSRWLockExclusive(&guard_lock);
  WakeAllConditionVariable(&guard_changed);
}

void __cdecl _Init_thread_abort(int *guard) {
  AcquireSRWLockExclusive(&guard_lock);
  *guard = UNINITIALIZED;
  ReleaseSRWLockExclusive(&guard_lock);
  WakeAllConditionVariable(&guard_changed);
}

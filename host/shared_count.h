// A module's reference count seen atomically: the plain int32_t field the
// module's objects keep, updated by the hooks from any thread. std::atomic_ref
// where the standard library has it; the compiler's atomic builtins where it
// does not (libc++ before 19, as the MSVC-ABI build here uses).
#pragma once

#include <atomic>
#include <cstdint>

namespace cadence::host {

// Adds one (relaxed: taking a reference orders nothing).
inline void incrementShared(int32_t* counter) {
#if defined(__cpp_lib_atomic_ref)
  std::atomic_ref<int32_t>(*counter).fetch_add(1, std::memory_order_relaxed);
#else
  __atomic_fetch_add(counter, 1, __ATOMIC_RELAXED);
#endif
}

// Takes one away and says whether that was the last (acquire-release: the
// last release sees every earlier use).
inline bool decrementSharedToZero(int32_t* counter) {
#if defined(__cpp_lib_atomic_ref)
  return std::atomic_ref<int32_t>(*counter).fetch_sub(1, std::memory_order_acq_rel) == 1;
#else
  return __atomic_fetch_sub(counter, 1, __ATOMIC_ACQ_REL) == 1;
#endif
}

// Marks a count whose object is being destroyed.
inline void storeShared(int32_t* counter, int32_t value) {
#if defined(__cpp_lib_atomic_ref)
  std::atomic_ref<int32_t>(*counter).store(value, std::memory_order_relaxed);
#else
  __atomic_store_n(counter, value, __ATOMIC_RELAXED);
#endif
}

}  // namespace cadence::host

// Memory for what the library makes inside a call from the host: it comes
// the guarded way (the host's memory manager, then the out-of-memory report
// and the end of the process), never as a std::bad_alloc that would unwind
// into a host built on another C++ runtime.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "memory/xal_alloc.h"

// (Namespaces one by one: the header reaches Qt 4's moc, which reads no
// nested namespace names.)
namespace cadence {
namespace guard {

// A block of `bytes` (at least one) from the heap; when the heap and the
// memory manager have nothing left, the report for `bytes`, the notice and
// the end of the process. Never null.
void* allocateOrFail(std::size_t bytes);
// Gives back a block of allocateOrFail (null: nothing).
void releaseBlock(void* block);

// A base whose objects are made with allocateOrFail. Placement stays as it
// is (a class-level operator new would hide it from code that constructs in
// place, Qt's meta types among them).
struct GuardedNew {
  static void* operator new(std::size_t bytes) { return allocateOrFail(bytes); }
  static void operator delete(void* block) noexcept { releaseBlock(block); }
  static void* operator new(std::size_t, void* where) noexcept { return where; }
  static void operator delete(void*, void*) noexcept {}
};

// An allocator for standard containers of the library: their storage comes
// from allocateOrFail, so growing one never throws into the caller.
template <class T>
struct GuardedAllocator {
  using value_type = T;
  GuardedAllocator() = default;
  template <class U>
  GuardedAllocator(const GuardedAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) {
    // More elements than any size holds is memory the process cannot have.
    if (n > SIZE_MAX / sizeof(T)) velOutOfMemory(INT64_MAX);
    return static_cast<T*>(allocateOrFail(n * sizeof(T)));
  }
  void deallocate(T* block, std::size_t) noexcept { releaseBlock(block); }
  template <class U>
  bool operator==(const GuardedAllocator<U>&) const noexcept {
    return true;
  }
};

// Runs `call`; a std::bad_alloc thrown inside it by code the library does
// not allocate for itself (Qt's own allocations, say) ends the process the
// guarded way instead of leaving through the caller. The size is unknown
// there, so the report names none.
template <class Call>
decltype(auto) failForGoodOnBadAlloc(Call&& call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    velOutOfMemory(0);
  }
}

}  // namespace guard
}  // namespace cadence

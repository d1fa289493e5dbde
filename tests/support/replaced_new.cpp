// Every form of operator new counts its call, asks the failure hook and
// takes its memory from malloc; every form of operator delete frees it.
#include "tests/support/replaced_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int64_t> calls{0};
std::atomic<cadence::test::OperatorNewFailure> failure{nullptr};

void* allocate(std::size_t bytes) {
  calls.fetch_add(1, std::memory_order_relaxed);
  const cadence::test::OperatorNewFailure fails = failure.load(std::memory_order_relaxed);
  if (fails && fails()) throw std::bad_alloc();
  if (void* block = std::malloc(bytes ? bytes : 1)) return block;
  throw std::bad_alloc();
}

void* allocateOrNull(std::size_t bytes) noexcept {
  try {
    return allocate(bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

namespace cadence::test {

int64_t operatorNewCalls() { return calls.load(); }
void setOperatorNewFailure(OperatorNewFailure fails) { failure.store(fails); }

}  // namespace cadence::test

void* operator new(std::size_t bytes) { return allocate(bytes); }
void* operator new[](std::size_t bytes) { return allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept { return allocateOrNull(bytes); }
void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept { return allocateOrNull(bytes); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }

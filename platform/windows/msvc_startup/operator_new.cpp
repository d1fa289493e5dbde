// The global allocation and deallocation functions, one set per image as
// MSVC's runtime links them: over the universal CRT's heap, the new_handler
// (libc++'s std::set_new_handler) called until it frees enough or there is
// none, then std::bad_alloc. The nothrow forms return nullptr instead; the
// aligned forms use _aligned_malloc, whose blocks only _aligned_free frees.
#include <malloc.h>
#include <stdlib.h>

#include <new>

namespace {

template <typename Allocate>
void* allocate_or_throw(Allocate allocate) {
  for (;;) {
    if (void* block = allocate()) return block;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

}  // namespace

void* operator new(std::size_t size) {
  return allocate_or_throw([size] { return malloc(size ? size : 1); });
}

void* operator new(std::size_t size, std::align_val_t alignment) {
  return allocate_or_throw([=] { return _aligned_malloc(size ? size : 1, static_cast<std::size_t>(alignment)); });
}

void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return ::operator new(size, alignment); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (...) {
    return nullptr;
  }
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size, alignment);
  } catch (...) {
    return nullptr;
  }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return ::operator new(size, tag); }
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t& tag) noexcept {
  return ::operator new(size, alignment, tag);
}

void operator delete(void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete[](void* block, std::size_t) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }

void operator delete(void* block, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { _aligned_free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { _aligned_free(block); }

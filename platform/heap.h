// The process heap (malloc, realloc, free) behind a replaceable interface, so
// tests can make the N-th allocation fail without touching the code above.
#pragma once

#include <cstddef>

namespace cadence::port {

class Heap {
 public:
  virtual ~Heap() = default;
  virtual void* allocate(std::size_t bytes) = 0;                 // malloc
  virtual void* reallocate(void* block, std::size_t bytes) = 0;  // realloc
  virtual void release(void* block) = 0;                         // free
};

// The heap in force. The system heap unless a test installed another.
Heap& heap();
// Installs `replacement` (nullptr restores the system heap); returns the previous one.
Heap* setHeap(Heap* replacement);
// The system heap itself, for doubles that forward to it.
Heap& systemHeap();

inline void* sysMalloc(std::size_t bytes) { return heap().allocate(bytes); }
inline void* sysRealloc(void* block, std::size_t bytes) { return heap().reallocate(block, bytes); }
inline void sysFree(void* block) { heap().release(block); }

}  // namespace cadence::port

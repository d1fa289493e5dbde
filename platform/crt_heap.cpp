// The system heap on every platform: the C runtime's malloc, realloc and free.
#include <cstdlib>

#include "base/process_wide.h"
#include "platform/heap.h"

namespace cadence::port {
namespace {

class SystemHeap final : public Heap {
 public:
  void* allocate(std::size_t bytes) override { return std::malloc(bytes); }
  void* reallocate(void* block, std::size_t bytes) override { return std::realloc(block, bytes); }
  void release(void* block) override { std::free(block); }
};

}  // namespace

Heap& systemHeap() { return cadence::neverDestroyed<SystemHeap>(); }

}  // namespace cadence::port

// The process-wide slot of the out-of-memory handler.
#include "memory/out_of_memory_handler.h"

#include <atomic>

namespace {
constinit std::atomic<const XalOutOfMemoryHandler*> installed{nullptr};
}  // namespace

void xalInstallOutOfMemoryHandler(const XalOutOfMemoryHandler* handler) {
  installed.store(handler, std::memory_order_release);
}

const XalOutOfMemoryHandler* xalOutOfMemoryHandler() { return installed.load(std::memory_order_acquire); }

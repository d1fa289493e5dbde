// Guarded allocation: xalMalloc and xalRealloc. A refused request is retried
// with the host's memory manager, then with fewer elements, then after the
// block's contents have been parked in a temporary file; only then does the
// process end, after the out-of-memory report and notice. The spill and the
// report are reached through the installed out-of-memory handler.
#include "memory/xal_alloc.h"

#include <cstring>

#include "cadencehost/vel_object.h"
#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_services.h"
#include "memory/guard_services.h"
#include "memory/out_of_memory_handler.h"
#include "memory/pool_lock.h"
#include "memory/xal_internal.h"
#include "platform/heap.h"
#include "platform/process.h"

namespace cadence::guard {

int64_t checkedBytes(int32_t elemSize, int32_t count) {
  const int64_t bytes = static_cast<int64_t>(elemSize) * count;
  if (elemSize < 0 || count < 0 || !fitsBlock(bytes)) failForGood(bytes, kOomNoMemory);
  return bytes;
}

[[noreturn]] void failForGood(int64_t bytes, int32_t reasonCode) {
  // The report allocates too; if that fails again, a second report would
  // recurse without end.
  static thread_local bool reporting = false;
  if (!reporting) {
    // One report per process: the pool lock is held from here to the end of
    // the process, so a thread that runs out of memory meanwhile waits for
    // the end instead of writing a second report. The pool lock it is, not a
    // lock of its own: the report makes strings, and a thread that ran out
    // inside the pool already holds it.
    cadence::port::ReentrantLockGuard oneReport(poolLock());
    struct Reporting {
      Reporting() { reporting = true; }
      ~Reporting() { reporting = false; }  // a test's exit double may unwind
    } scope;
    if (const XalOutOfMemoryHandler* handler = xalOutOfMemoryHandler()) handler->reportFailure(bytes, reasonCode);
    cadence::port::exitProcess(-1);
  }
  cadence::port::exitProcess(-1);
}

int32_t spillAndReallocate(void** block, int64_t oldBytes, int64_t bytes, int32_t count, VelMM::IVelMManager* manager) {
  const XalOutOfMemoryHandler* handler = xalOutOfMemoryHandler();
  if (!handler) failForGood(bytes, kOomNoMemory);
  return handler->spillAndReallocate(block, oldBytes, bytes, count, manager);
}

void* retryWithManager(int64_t bytes, VelMM::IVelMManager*& manager) {
  void* block = nullptr;
  while (!block && manager) {
    if (manager->freeOneUnit()) {
      block = cadence::port::sysMalloc(static_cast<size_t>(bytes));
    } else {
      manager = nullptr;
    }
  }
  return block;
}

void* mallocWithManager(int64_t bytes, VelMM::IVelMManager*& manager) {
  void* block = cadence::port::sysMalloc(static_cast<size_t>(bytes));
  return block ? block : retryWithManager(bytes, manager);
}

}  // namespace cadence::guard

void velOutOfMemory(int64_t attemptedBytes) { cadence::guard::failForGood(attemptedBytes, kOomNoMemory); }

namespace {

constexpr const char* kSourceName = ".\\xalrealloc";

void checkFailed(const char* expression, int32_t line) {
  SPtr<IVelAssertHandlerCB> handler;
  if (!handler) cadence::port::exitProcess(255);
  handler->assertionFailed(expression, kSourceName, line);
}

void zeroTail(void* block, int64_t from, int64_t to) {
  if (block && to > from) std::memset(static_cast<char*>(block) + from, 0, static_cast<size_t>(to - from));
}

// One attempt to resize; a size that cannot be a block counts as refused.
void* tryResize(void* block, int64_t bytes) {
  if (!cadence::guard::fitsBlock(bytes)) return nullptr;
  return cadence::port::sysRealloc(block, static_cast<size_t>(bytes));
}

int32_t settle(void** block, void* resized, int64_t oldBytes, int64_t bytes, int32_t count) {
  *block = resized;
  zeroTail(resized, oldBytes, bytes);
  return count;
}

int32_t shrink(void** block, int32_t elemSize, int32_t maxNewSize) {
  if (maxNewSize == 0 && *block) {
    cadence::port::sysFree(*block);
    *block = nullptr;
    return 0;
  }
  const int64_t bytes = cadence::guard::checkedBytes(elemSize, maxNewSize);
  if (!*block) return xalMalloc(block, elemSize, maxNewSize);  // nothing to keep
  void* resized = cadence::port::sysRealloc(*block, static_cast<size_t>(bytes));
  if (resized) {
    *block = resized;
  } else if (bytes == 0) {
    *block = nullptr;  // realloc to 0 bytes released it
  }
  // A refused shrink keeps the old block: it still holds maxNewSize elements.
  return maxNewSize;
}

int32_t grow(void** block, int32_t elemSize, int32_t curSize, int32_t minNewSize, int32_t maxNewSize) {
  const int64_t oldBytes = cadence::guard::checkedBytes(elemSize, curSize);
  int64_t bytes = static_cast<int64_t>(elemSize) * maxNewSize;
  void* resized = tryResize(*block, bytes);
  if (resized || bytes == 0) return settle(block, resized, oldBytes, bytes, maxNewSize);

  // Settle for less: two halvings toward minNewSize alone, five more with
  // the memory manager's help, and a last try at exactly minNewSize.
  VelMM::IVelMManager* manager = cadence::guard::memoryManager();
  int32_t n = maxNewSize;
  for (int k = 7; k >= 0; --k) {
    if (minNewSize >= n) break;
    n = k > 0 ? static_cast<int32_t>((static_cast<int64_t>(n) + minNewSize) >> 1) : minNewSize;
    bytes = static_cast<int64_t>(elemSize) * n;
    if ((resized = tryResize(*block, bytes))) return settle(block, resized, oldBytes, bytes, n);
    if (k <= 5 && manager && cadence::guard::fitsBlock(bytes)) {
      const int64_t units = (bytes - oldBytes) / VelMM::IVelMManager::kUnitBytes + 1;
      for (int64_t round = 0; round <= units && manager; ++round) {
        if (!manager->freeOneUnit()) manager = nullptr;
        if ((resized = tryResize(*block, bytes))) return settle(block, resized, oldBytes, bytes, n);
      }
    }
    if (bytes == 0) {
      *block = nullptr;
      return n;
    }
  }
  return cadence::guard::spillAndReallocate(block, oldBytes, bytes, n, manager);
}

}  // namespace

int32_t xalMalloc(void** block, int32_t elemSize, int32_t count) {
  const int64_t bytes = cadence::guard::checkedBytes(elemSize, count);
  *block = cadence::port::sysMalloc(static_cast<size_t>(bytes));
  if (*block || bytes == 0) return count;
  VelMM::IVelMManager* manager = cadence::guard::memoryManager();
  *block = cadence::guard::retryWithManager(bytes, manager);
  if (!*block) cadence::guard::failForGood(bytes, kOomNoMemory);
  return count;
}

int32_t xalRealloc(void** block, int32_t elemSize, int32_t curSize, int32_t minNewSize, int32_t maxNewSize) {
  if (curSize == minNewSize) return curSize;
  if ((!*block || curSize == 0) && minNewSize > 0) return xalMalloc(block, elemSize, minNewSize);
  if (maxNewSize == -1) {
    maxNewSize = minNewSize;
  } else if (maxNewSize < minNewSize) {
    checkFailed("maxNewSize >= minNewSize", __LINE__);
  }
  if (maxNewSize < curSize) return shrink(block, elemSize, maxNewSize);
  if (minNewSize <= curSize) return curSize;
  if (maxNewSize < minNewSize) {
    checkFailed("minNewSize > curSize && maxNewSize >= minNewSize", __LINE__);
  }
  return grow(block, elemSize, curSize, minNewSize, maxNewSize);
}

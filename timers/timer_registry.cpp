// The timer registry's entries: made, assigned and destroyed.
#include "timers/timer_registry.h"

#include <new>

#include "memory/pool.h"

namespace Velmora {

namespace {
constexpr uint32_t kDefaultBucketCount = 17;
}  // namespace

TimerRegistry::TimerRegistry(uint32_t requestedSize)
    : table_(requestedSize <= 2 ? kDefaultBucketCount : nextPrime(requestedSize - 1)) {}

// Detached first: a timer destroyed here may call back into the service.
TimerRegistry::~TimerRegistry() { table_.drain(destroyEntry); }

ITimer* TimerRegistry::assign(Entry* entry, ITimer* timer) {
  // A lookup made while the old timer is being released (from its
  // destructor, say) finds the new one, already held.
  entry->timer.assign(timer);
  return entry->timer.get();
}

TimerRegistry::Entry* TimerRegistry::makeEntry(const VelCString& name) {
  const size_t textBytes = name.ownsText() ? std::strlen(name.text) + 1 : 0;
  // Sized in 64 bits: a name the pool's sizes cannot hold goes the
  // out-of-memory way, never into a smaller block.
  int32_t usable = 0;
  void* block = poolAllocateBytes(uint64_t{sizeof(Entry)} + textBytes, &usable);
  auto* entry = new (block) Entry{name.nameHash(), 0, nullptr, IPtr<ITimer, IVelUnknown>(), name.text, usable};
  if (textBytes) {
    char* copy = reinterpret_cast<char*>(entry + 1);
    std::memcpy(copy, name.text, textBytes);
    entry->name = copy;
  }
  return entry;
}

void TimerRegistry::destroyEntry(Entry* entry) {
  entry->timer.clear();  // may destroy the timer
  int32_t usable = entry->blockSize;
  void* block = entry;
  entry->~Entry();
  poolFree(&usable, &block);  // the name copy goes with it
}

}  // namespace Velmora

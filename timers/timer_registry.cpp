// The timer registry: lookup, linking with growth, and teardown.
#include "timers/timer_registry.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/primes.h"
#include "memory/guarded_new.h"
#include "memory/pool.h"
#include "platform/heap.h"

namespace Velmora {

namespace {
constexpr uint32_t kDefaultBucketCount = 17;
}  // namespace

TimerRegistry::TimerRegistry(uint32_t requestedSize)
    : buckets_(nullptr),
      bucketOf_(requestedSize <= 2 ? kDefaultBucketCount : nextPrime(requestedSize - 1)),
      entryCount_(0) {}

TimerRegistry::~TimerRegistry() {
  // Detach first: a timer destroyed here may call back into the service.
  Entry** buckets = buckets_;
  const uint32_t count = bucketCount();
  buckets_ = nullptr;
  entryCount_ = 0;
  if (!buckets) return;
  for (uint32_t b = 0; b < count; ++b) {
    Entry* e = buckets[b];
    while (e) {
      Entry* next = e->next;
      destroyEntry(e);
      e = next;
    }
  }
  cadence::guard::releaseBlock(buckets);
}

TimerRegistry::Entry** TimerRegistry::linkTo(const VelCString& name, uint32_t hash) {
  if (!buckets_) return nullptr;
  for (Entry** link = &buckets_[bucketOf_(hash)]; *link; link = &(*link)->next) {
    if ((*link)->hash == hash && sameName((*link)->name, name.text)) return link;
  }
  return nullptr;
}

ITimer* TimerRegistry::assign(Entry* entry, ITimer* timer) {
  // A lookup made while the old timer is being released (from its
  // destructor, say) finds the new one, already held.
  entry->timer = timer;
  restOf(entry).reference.assign(timer);
  return entry->timer;
}

TimerRegistry::Entry* TimerRegistry::makeEntry(const VelCString& name, uint32_t hash) {
  const size_t textBytes = name.ownsText() ? std::strlen(name.text) + 1 : 0;
  // Room to put the lookup part on a line boundary with the rest before it.
  // Sized in 64 bits: a name the pool's sizes cannot hold goes the
  // out-of-memory way, never into a smaller block.
  const uint64_t bytes = uint64_t{sizeof(EntryRest) + (kLine - 1) + sizeof(Entry)} + textBytes;
  int32_t usable = 0;
  void* block = poolAllocateBytes(bytes, &usable);
  const uintptr_t start = reinterpret_cast<uintptr_t>(block) + sizeof(EntryRest);
  void* at = reinterpret_cast<void*>((start + kLine - 1) & ~uintptr_t{kLine - 1});
  new (static_cast<char*>(at) - sizeof(EntryRest)) EntryRest{IPtr<ITimer, IVelUnknown>(), block, usable};
  auto* entry = new (at) Entry{hash, 0, nullptr, nullptr, name.text};
  if (textBytes) {
    std::memcpy(entry->copiedText(), name.text, textBytes);
    entry->name = entry->copiedText();
  }
  return entry;
}

void TimerRegistry::link(Entry* entry) {
  if (!buckets_) {
    // Guarded: without memory for it, the report and the end of the process.
    buckets_ = static_cast<Entry**>(cadence::guard::allocateOrFail(sizeof(Entry*) * bucketCount()));
    std::fill_n(buckets_, bucketCount(), nullptr);
  }
  entry->bucket = bucketOf_(entry->hash);
  entry->next = buckets_[entry->bucket];
  buckets_[entry->bucket] = entry;
  ++entryCount_;
  if (static_cast<double>(entryCount_) >= 0.8 * static_cast<double>(bucketCount())) {
    grow(nextPrime(bucketCount()));
  }
}

void TimerRegistry::grow(uint32_t newCount) {
  if (newCount == 0 || newCount == bucketCount() || !buckets_) return;
  // Without memory to grow, the table keeps working with longer chains.
  auto* fresh = static_cast<Entry**>(cadence::port::sysMalloc(sizeof(Entry*) * newCount));
  if (!fresh) return;
  std::fill_n(fresh, newCount, nullptr);
  const FastModulo newBucketOf(newCount);
  for (uint32_t b = 0; b < bucketCount(); ++b) {
    Entry* e = buckets_[b];
    while (e) {
      Entry* next = e->next;
      e->bucket = newBucketOf(e->hash);
      e->next = fresh[e->bucket];
      fresh[e->bucket] = e;
      e = next;
    }
  }
  cadence::guard::releaseBlock(buckets_);
  buckets_ = fresh;
  bucketOf_ = newBucketOf;
}

void TimerRegistry::destroyEntry(Entry* entry) {
  EntryRest& rest = restOf(entry);
  entry->timer = nullptr;
  rest.reference.clear();  // may destroy the timer
  int32_t usable = rest.blockSize;
  void* block = rest.block;
  rest.~EntryRest();
  poolFree(&usable, &block);  // the name copy goes with it
}

}  // namespace Velmora

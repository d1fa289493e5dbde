// The timer service's registry: a chained hash table from timer name to the
// timer registered under it, holding one reference per timer. Names hash with
// VelCString::nameHash and compare with VelCString equality (case-sensitive;
// the null name and the empty name differ). Lookups allocate nothing.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>

#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_ptr.h"
#include "timers/registry_hashing.h"

namespace Velmora {

class TimerRegistry {
 public:
  // A requested size of 2 or less gives 17 buckets, a larger n gives
  // nextPrime(n - 1). The bucket array is made at the first insertion.
  explicit TimerRegistry(uint32_t requestedSize = 0);
  // Releases every timer reference (buckets in ascending order, each chain
  // from its head) and frees every entry and the bucket array.
  ~TimerRegistry();
  TimerRegistry(const TimerRegistry&) = delete;
  TimerRegistry& operator=(const TimerRegistry&) = delete;

  // The timer under `name`, or null.
  ITimer* find(const VelCString& name) const {
    Entry* entry = findEntry(name, nameHashOf(name));
    return entry ? entry->timer : nullptr;
  }
  bool contains(const VelCString& name) const { return findEntry(name, nameHashOf(name)) != nullptr; }

  // Registers the timer `makeTimer()` returns (not null) under `name`, taking
  // a reference on it first and then releasing the timer the name held
  // before, if any. A new name is copied (an owned text into a block of the
  // entry's own; a borrowed text stays borrowed). Returns the registered
  // timer.
  //
  // The entry for a new name is made before the timer: what an expiry reads
  // (the timer, Qt's records of it, and the listener a caller typically makes
  // right after) then lies together in memory instead of around the entry,
  // which an expiry never reads. Memory comes the guarded way; should making
  // the timer still throw (a test's exit double), the new entry goes again
  // and the table is as it was.
  template <class MakeTimer>
  ITimer* put(const VelCString& name, MakeTimer&& makeTimer) {
    const uint32_t hash = nameHashOf(name);
    Entry* entry = findEntry(name, hash);
    if (entry) return assign(entry, makeTimer());
    entry = makeEntry(name, hash);
    ITimer* timer;
    try {
      timer = makeTimer();
    } catch (...) {
      destroyEntry(entry);
      throw;
    }
    assign(entry, timer);  // nothing held before, so nobody is called
    link(entry);
    return timer;
  }

  // Unlinks the entry, then releases its timer reference and frees it. False
  // when the name is not registered. `beforeUnlink` runs on the timer first.
  template <class BeforeUnlink>
  bool remove(const VelCString& name, BeforeUnlink&& beforeUnlink) {
    const uint32_t hash = nameHashOf(name);
    Entry** link = linkTo(name, hash);
    if (!link) return false;
    Entry* entry = *link;
    beforeUnlink(entry->timer);
    *link = entry->next;  // the table is consistent before anyone is called
    --entryCount_;
    destroyEntry(entry);
    return true;
  }

  // Calls visit(timer) for every entry: buckets in ascending index, each
  // chain from its head.
  template <class Visit>
  void forEach(Visit&& visit) const {
    if (!buckets_) return;
    for (uint32_t b = 0, n = bucketCount(); b < n; ++b) {
      for (Entry* e = buckets_[b]; e; e = e->next) visit(e->timer);
    }
  }

  uint32_t bucketCount() const { return bucketOf_.divisor(); }
  int32_t entryCount() const { return entryCount_; }
  bool hasBucketArray() const { return buckets_ != nullptr; }

 private:
  // An entry lives in one pooled block: the part a lookup reads (Entry)
  // starts a cache line and is followed by its own copy of an owned name, so
  // a short name is compared without touching another line; the rest of the
  // entry (EntryRest) lies just before it. A borrowed name stays borrowed.
  static constexpr size_t kLine = 64;
  struct Entry {
    uint32_t hash;    // the name's hash, kept so growth and lookups skip rehashing
    uint32_t bucket;  // index of the chain holding the entry
    Entry* next;
    ITimer* timer;     // the registered timer; EntryRest::reference holds it
    const char* name;  // copiedText() or the borrowed text
    char* copiedText() { return reinterpret_cast<char*>(this + 1); }
  };
  struct EntryRest {
    IPtr<ITimer, IVelUnknown> reference;
    void* block;        // the pooled block holding both parts
    int32_t blockSize;  // its usable size
  };
  static EntryRest& restOf(Entry* entry) {
    return *std::launder(reinterpret_cast<EntryRest*>(reinterpret_cast<char*>(entry) - sizeof(EntryRest)));
  }

  static uint32_t nameHashOf(const VelCString& name) { return registryNameHash(name.text); }
  // VelCString equality: both null, or the same bytes.
  static bool sameName(const char* a, const char* b) {
    if (!a || !b) return a == b;
    return std::strcmp(a, b) == 0;
  }
  Entry* findEntry(const VelCString& name, uint32_t hash) const {
    if (!buckets_) return nullptr;
    for (Entry* e = buckets_[bucketOf_(hash)]; e; e = e->next) {
      if (e->hash == hash && sameName(e->name, name.text)) return e;
    }
    return nullptr;
  }
  // The link (chain head or a `next` field) pointing at the entry for the
  // name, or null when there is none.
  Entry** linkTo(const VelCString& name, uint32_t hash);
  static Entry* makeEntry(const VelCString& name, uint32_t hash);
  static ITimer* assign(Entry* entry, ITimer* timer);
  void link(Entry* entry);
  void grow(uint32_t newCount);
  static void destroyEntry(Entry* entry);

  Entry** buckets_;
  FastModulo bucketOf_;  // the bucket count, with hash -> bucket
  int32_t entryCount_;
};

}  // namespace Velmora

// The timer service's registry: a chained hash table (VelChainedTable) from
// timer name to the timer registered under it, holding one reference per
// timer. Names hash with VelCString::nameHash and compare with VelCString
// equality (case-sensitive; the null name and the empty name differ).
// Lookups allocate nothing.
#pragma once

#include <cstdint>
#include <cstring>

#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_ptr.h"
#include "core/chained_table.h"

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
    Entry* entry = findEntry(name);
    return entry ? entry->timer.get() : nullptr;
  }
  bool contains(const VelCString& name) const { return findEntry(name) != nullptr; }

  // Registers the timer `makeTimer()` returns (not null) under `name`, taking
  // a reference on it first and then releasing the timer the name held
  // before, if any. A new name is copied (an owned text into the entry's own
  // pooled block, after the entry; a borrowed text stays borrowed). Returns
  // the registered timer. The entry for a new name is made before the timer,
  // so the timer's memory and the listener a caller makes right after lie
  // together; should making the timer throw (a test's exit double), the new
  // entry goes again and the table is as it was.
  template <class MakeTimer>
  ITimer* put(const VelCString& name, MakeTimer&& makeTimer) {
    if (Entry* entry = findEntry(name)) return assign(entry, makeTimer());
    Entry* entry = makeEntry(name);
    ITimer* timer;
    try {
      timer = makeTimer();
    } catch (...) {
      destroyEntry(entry);
      throw;
    }
    assign(entry, timer);  // nothing held before, so nobody is called
    table_.link(entry);
    return timer;
  }

  // Unlinks the entry, then releases its timer reference and frees it. False
  // when the name is not registered. `beforeUnlink` runs on the timer first.
  template <class BeforeUnlink>
  bool remove(const VelCString& name, BeforeUnlink&& beforeUnlink) {
    Entry** link = table_.linkTo(name.nameHash(), [&](const Entry& e) { return sameName(e.name, name.text); });
    if (!link) return false;
    beforeUnlink((*link)->timer.get());
    destroyEntry(table_.unlink(link));  // the table is consistent before anyone is called
    return true;
  }

  // Calls visit(timer) for every entry: buckets in ascending index, each
  // chain from its head.
  template <class Visit>
  void forEach(Visit&& visit) const {
    table_.forEach([&](Entry* e) { visit(e->timer.get()); });
  }

  uint32_t bucketCount() const { return table_.bucketCount(); }
  int32_t entryCount() const { return static_cast<int32_t>(table_.entryCount()); }
  bool hasBucketArray() const { return table_.hasBucketArray(); }

 private:
  // One pooled block per entry: the entry, then its copy of an owned name.
  struct Entry {
    uint32_t hash;
    uint32_t bucket;
    Entry* next;
    IPtr<ITimer, IVelUnknown> timer;
    const char* name;   // the copy after the entry, or the borrowed text
    int32_t blockSize;  // the block's usable size
  };

  // VelCString equality: both null, or the same bytes.
  static bool sameName(const char* a, const char* b) {
    if (!a || !b) return a == b;
    return std::strcmp(a, b) == 0;
  }
  Entry* findEntry(const VelCString& name) const {
    return table_.find(name.nameHash(), [&](const Entry& e) { return sameName(e.name, name.text); });
  }
  static Entry* makeEntry(const VelCString& name);
  static ITimer* assign(Entry* entry, ITimer* timer);
  static void destroyEntry(Entry* entry);

  VelChainedTable<Entry> table_;
};

}  // namespace Velmora

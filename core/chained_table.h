// The framework's chained hash table, which the class table and the timer
// registry both are: each entry linked at the head of its bucket's chain, the
// bucket array made at the first insertion, growth to nextPrime(bucket count)
// once the entries reach 0.8 times the buckets, never shrinking. It links
// entries it does not own; an Entry has `uint32_t hash`, `uint32_t bucket`
// and `Entry* next`.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/primes.h"
#include "memory/guarded_new.h"
#include "platform/heap.h"

template <class Entry>
class VelChainedTable {
 public:
  explicit VelChainedTable(uint32_t bucketCount) : bucketCount_(bucketCount) {}
  ~VelChainedTable() { cadence::guard::releaseBlock(buckets_); }  // the entries are the owner's
  VelChainedTable(const VelChainedTable&) = delete;
  VelChainedTable& operator=(const VelChainedTable&) = delete;

  uint32_t bucketCount() const { return bucketCount_; }
  uint32_t entryCount() const { return entryCount_; }
  bool hasBucketArray() const { return buckets_ != nullptr; }

  // The first entry of `hash`'s chain that `matches`, or null.
  template <class Matches>
  Entry* find(uint32_t hash, Matches&& matches) const {
    if (!buckets_) return nullptr;
    for (Entry* e = buckets_[hash % bucketCount_]; e; e = e->next) {
      if (e->hash == hash && matches(*e)) return e;
    }
    return nullptr;
  }
  // The link (chain head or a `next` field) that points at that entry, or null.
  template <class Matches>
  Entry** linkTo(uint32_t hash, Matches&& matches) {
    if (!buckets_) return nullptr;
    for (Entry** link = &buckets_[hash % bucketCount_]; *link; link = &(*link)->next) {
      if ((*link)->hash == hash && matches(**link)) return link;
    }
    return nullptr;
  }
  // Takes out the entry `link` points at; the table is consistent after it.
  Entry* unlink(Entry** link) {
    Entry* entry = *link;
    *link = entry->next;
    --entryCount_;
    return entry;
  }

  // Links `entry` (its hash set) at the head of its chain, then grows the
  // table when it is full enough. The first bucket array comes the guarded
  // way; without memory to grow, the table goes on with longer chains.
  void link(Entry* entry) {
    if (!buckets_) buckets_ = nullHeads(bucketCount_, cadence::guard::allocateOrFail);
    entry->bucket = entry->hash % bucketCount_;
    entry->next = buckets_[entry->bucket];
    buckets_[entry->bucket] = entry;
    ++entryCount_;
    if (static_cast<double>(entryCount_) >= 0.8 * static_cast<double>(bucketCount_)) grow(nextPrime(bucketCount_));
  }

  // Calls visit(entry) for every entry: buckets in ascending index, each
  // chain from its head. The visit unlinks nothing.
  template <class Visit>
  void forEach(Visit&& visit) const {
    for (uint32_t b = 0; buckets_ && b < bucketCount_; ++b) {
      for (Entry* e = buckets_[b]; e;) {
        Entry* next = e->next;
        visit(e);
        e = next;
      }
    }
  }
  // Empties the table first (its bucket array goes), then hands every entry
  // it held to visit, in the same order: a visit that calls back finds an
  // empty table.
  template <class Visit>
  void drain(Visit&& visit) {
    Entry** buckets = buckets_;
    const uint32_t count = bucketCount_;
    buckets_ = nullptr;
    entryCount_ = 0;
    for (uint32_t b = 0; buckets && b < count; ++b) {
      for (Entry* e = buckets[b]; e;) {
        Entry* next = e->next;
        visit(e);
        e = next;
      }
    }
    cadence::guard::releaseBlock(buckets);
  }

  // The head of the first non-empty chain from bucket `from` on, or null.
  Entry* firstFrom(uint32_t from) const {
    for (uint32_t b = from; buckets_ && b < bucketCount_; ++b) {
      if (buckets_[b]) return buckets_[b];
    }
    return nullptr;
  }

 private:
  template <class Allocate>
  static Entry** nullHeads(uint32_t count, Allocate allocate) {
    auto* heads = static_cast<Entry**>(allocate(sizeof(Entry*) * count));
    if (heads) std::fill_n(heads, count, nullptr);
    return heads;
  }
  // Every entry to its chain in a new array of `count` buckets, taken in the
  // old order, each to the head of its new chain.
  void grow(uint32_t count) {
    if (count == 0 || count == bucketCount_ || !buckets_) return;
    Entry** fresh = nullHeads(count, cadence::port::sysMalloc);
    if (!fresh) return;
    forEach([&](Entry* e) {
      e->bucket = e->hash % count;
      e->next = fresh[e->bucket];
      fresh[e->bucket] = e;
    });
    cadence::guard::releaseBlock(buckets_);
    buckets_ = fresh;
    bucketCount_ = count;
  }

  Entry** buckets_ = nullptr;
  uint32_t bucketCount_;
  uint32_t entryCount_ = 0;
};

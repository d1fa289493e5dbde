// The class table: class identifiers to item factories, with the one
// enumeration cursor the class factory walks.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "memory/guarded_new.h"

class VelItemFactory;

// A chained hash table from class identifier to item factory (not owned).
// Buckets are allocated at the first insertion; it grows to nextPrime(buckets)
// once the entry count reaches 0.8 x buckets, and never shrinks.
class VelClassTable {
 public:
  VelClassTable();
  ~VelClassTable();
  VelClassTable(const VelClassTable&) = delete;
  VelClassTable& operator=(const VelClassTable&) = delete;

  // Find or insert: an identifier already present gets the new factory (the
  // old one is left alone). A null factory is ignored.
  void registerFactory(const VelID& classId, VelItemFactory* factory);
  VelItemFactory* find(const VelID& classId) const;

  uint32_t entryCount() const { return entryCount_; }
  uint32_t bucketCount() const { return bucketCount_; }

  // The enumeration cursor. first() starts over; next() moves on. next()
  // without a cursor, or after the end was reached, answers false.
  bool first(VelID& out);
  bool next(VelID& out);

 private:
  struct Node : cadence::guard::GuardedNew {
    uint32_t bucket;
    VelID key;
    VelItemFactory* value;
    Node* next;
  };

  Node* lookup(const VelID& key, uint32_t* bucket) const;
  void insert(Node* node);
  void rehash(uint32_t newCount);
  Node* firstNodeFrom(uint32_t bucket) const;
  bool settleCursor(Node* node, VelID& out);

  Node** buckets_;
  uint32_t bucketCount_;
  uint32_t entryCount_;

  enum class CursorState { none, on, end };
  CursorState cursorState_;
  Node* cursorNode_;
  VelID cursorKey_;
  VelItemFactory* cursorValue_;
};

// The class table: class identifiers to item factories, with the one
// enumeration cursor the class factory walks.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "core/chained_table.h"
#include "memory/guarded_new.h"

class VelItemFactory;

// A chained hash table (VelChainedTable) from class identifier to item
// factory (not owned), starting with nextPrime(99) = 131 buckets.
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

  uint32_t entryCount() const { return table_.entryCount(); }
  uint32_t bucketCount() const { return table_.bucketCount(); }

  // The enumeration cursor. first() starts over; next() moves on. next()
  // without a cursor, or after the end was reached, answers false.
  bool first(VelID& out);
  bool next(VelID& out);

 private:
  // Registration runs while a host loads the module: nodes come the
  // guarded way, never as an exception through the host's loader.
  struct Node : cadence::guard::GuardedNew {
    uint32_t bucket;
    VelID key;
    VelItemFactory* value;
    Node* next;
    uint32_t hash;  // the key's: Data1
  };

  bool settleCursor(Node* node, VelID& out);

  VelChainedTable<Node> table_;

  enum class CursorState { none, on, end };
  CursorState cursorState_;
  Node* cursorNode_;
  VelID cursorKey_;
  VelItemFactory* cursorValue_;
};

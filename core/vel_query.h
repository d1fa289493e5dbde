// Interface query by name: the enumeration record (VelNameQuery) and the
// helpers every class's queryInterface is written with.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "text/vel_array.h"
#include "text/vel_cstring.h"

struct VelNameEntry {
  VelCString name;
  int32_t kind;  // 1 class name, 0 interface name
  VelCString owner;
};

struct VelStopSetNode {
  VelCString key;
  VelStopSetNode* next;
};

struct VelStopSet {
  VelStopSetNode** buckets;  // bucketCount chain heads; may be null
  uint32_t bucketCount;      // never zero
  int32_t count;             // not read by the module
};

struct VelNameQuery {
  VelArray<VelCString>* classStack;
  VelArray<VelNameEntry>* entries;
  VelStopSet stopSet;
  uint8_t stopped;
};

constexpr int32_t kVelNameKindInterface = 0;
constexpr int32_t kVelNameKindClass = 1;

// Appends one name to `record`, or empties the record for good when the
// name is in its stop set.
void appendQueryName(const char* name, int32_t kind, VelNameQuery* record);

// Exact, case-sensitive name comparison.
inline bool velNameIs(const char* query, const char* name) { return std::strcmp(query, name) == 0; }

// Enumeration mode of a class: its class name (kind 1), then each interface
// name (kind 0). A null record is ignored.
void velEnumerateNames(void* record, const char* className,
                       std::initializer_list<const char*> interfaceNames);

// Query mode prologue: returns the slot to fill (already set to null), or
// null when the caller gave no slot.
inline void** velQuerySlot(void* target) {
  void** slot = static_cast<void**>(target);
  if (slot) *slot = nullptr;
  return slot;
}

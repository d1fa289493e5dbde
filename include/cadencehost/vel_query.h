// Interface query by name: the enumeration record (VelNameQuery) and the
// helpers every class's queryInterface is written with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_cstring.h"

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

// The shared layouts (the same under LP64 and LLP64: no `long` in them).
static_assert(sizeof(VelNameEntry) == 40 && offsetof(VelNameEntry, name) == 0 && offsetof(VelNameEntry, kind) == 16 &&
                  offsetof(VelNameEntry, owner) == 24,
              "VelNameEntry layout");
static_assert(sizeof(VelStopSetNode) == 24 && offsetof(VelStopSetNode, key) == 0 &&
                  offsetof(VelStopSetNode, next) == 16,
              "stop-set node layout");
static_assert(sizeof(VelStopSet) == 16 && offsetof(VelStopSet, buckets) == 0 &&
                  offsetof(VelStopSet, bucketCount) == 8 && offsetof(VelStopSet, count) == 12,
              "stop set layout");
static_assert(sizeof(VelNameQuery) == 40 && offsetof(VelNameQuery, classStack) == 0 &&
                  offsetof(VelNameQuery, entries) == 8 && offsetof(VelNameQuery, stopSet) == 16 &&
                  offsetof(VelNameQuery, stopped) == 32,
              "VelNameQuery layout");

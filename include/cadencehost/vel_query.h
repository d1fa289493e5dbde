// Interface query by name: the enumeration record (VelNameQuery) and the
// helpers every class's queryInterface is written with.
//
// Listing an object's names: queryInterface(nullptr, &record) appends the
// class name (kind kVelNameKindClass) and then each interface name
// (kVelNameKindInterface) to a record the caller owns. Set the record up
// with two empty arrays and a stop set with a bucket array and a non-zero
// bucket count (an empty one is all null heads):
//   VelArray<VelCString> classStack;
//   VelArray<VelNameEntry> entries;
//   VelStopSetNode* heads[17] = {};
//   VelNameQuery record{&classStack, &entries, VelStopSet{heads, 17, 0}, 0};
//   object->queryInterface(nullptr, &record);
//   for (int32_t i = 1; i <= entries.count; ++i)   // used from position 1
//     std::printf("%s %s\n", entries.at(i).name.c_str(), entries.at(i).kind ? "class" : "interface");
// Each entry's owner is the class name listed last before it (the top of the
// class stack), so one record can take several objects in turn. A name in
// the stop set (a node whose key equals the name, chained in bucket
// VelCString::nameHashOf(key) % bucketCount) empties the record and sets
// `stopped`; every later listing into it stays empty. Entry names point at
// the module's literals; the arrays free what they own when they go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "cadencehost/vel_array.h"
#include "cadencehost/vel_cstring.h"
#include "cadencehost/vel_object.h"

struct VelNameEntry {
  VelCString name;   // borrowed from the object's module
  int32_t kind;      // 1 class name, 0 interface name
  VelCString owner;  // the class name listed last before it, or empty
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
  VelArray<VelCString>* classStack;  // the class names listed, latest last
  VelArray<VelNameEntry>* entries;   // every name listed, from position 1
  VelStopSet stopSet;
  uint8_t stopped;  // set once a stop-set name was met: the record stays empty
};

constexpr int32_t kVelNameKindInterface = 0;
constexpr int32_t kVelNameKindClass = 1;

// Appends one name to `record`, or empties the record for good when the
// name is in its stop set.
void appendQueryName(const char* name, int32_t kind, VelNameQuery* record);

// Exact, case-sensitive name comparison.
inline bool velNameIs(const char* query, const char* name) { return std::strcmp(query, name) == 0; }

// Query mode prologue: returns the slot to fill (already set to null), or
// null when the caller gave no slot.
inline void** velQuerySlot(void* target) {
  void** slot = static_cast<void**>(target);
  if (slot) *slot = nullptr;
  return slot;
}

// The `I` part of `object` (by I::kInterfaceName), or null when it has none
// or `object` is null. Borrowed: no reference is taken.
//   auto* timers = velQueryAs<Velmora::ITimerServiceV2>(object);
template <class I>
I* velQueryAs(IVelUnknown* object) {
  void* part = nullptr;
  if (object) object->queryInterface(I::kInterfaceName, &part);
  return static_cast<I*>(part);
}

// Whether a class lists its names when queried with a null name.
enum class VelListing { names, none };

// A class's whole queryInterface, written once from its interface list:
//   void queryInterface(const char* name, void* target) override {
//     velAnswerQuery<Velmora::ITimerListener>(this, "MyListener", name, target);
//   }
// Query mode: the class name gives the object itself, "IVelUnknown" its
// IVelUnknown part, then each interface's kInterfaceName that interface's
// part, in the order given; anything else leaves the slot null. Listing mode
// (a null name): the class name (kind 1), then the interface names (kind 0).
template <class... Interfaces, class Self>
void velAnswerQuery(Self* self, const char* className, const char* name, void* target,
                    VelListing listing = VelListing::names) {
  if (!name) {
    auto* record = static_cast<VelNameQuery*>(target);
    if (listing == VelListing::none || !record) return;
    appendQueryName(className, kVelNameKindClass, record);
    (appendQueryName(Interfaces::kInterfaceName, kVelNameKindInterface, record), ...);
    return;
  }
  void** slot = velQuerySlot(target);
  if (!slot) return;
  if (velNameIs(name, className)) {
    *slot = self;
  } else if (velNameIs(name, IVelUnknown::kInterfaceName)) {
    *slot = static_cast<IVelUnknown*>(self);
  } else {
    ((velNameIs(name, Interfaces::kInterfaceName) && (*slot = static_cast<Interfaces*>(self), true)) || ...);
  }
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

// Enumeration mode of the interface query: appending names to a caller's
// VelNameQuery, honouring its stop set.
#include "cadencehost/vel_query.h"

namespace {

bool inStopSet(const VelStopSet& set, const char* name) {
  if (!set.buckets || set.bucketCount == 0) return false;
  // The lookup works on a private owning copy of the name.
  VelCString key = VelCString::copyOf(name);
  const uint32_t bucket = key.nameHash() % set.bucketCount;
  for (const VelStopSetNode* node = set.buckets[bucket]; node; node = node->next) {
    if (node->key == key) return true;
  }
  return false;
}

void stopRecord(VelNameQuery* record) {
  record->stopped = 1;
  if (record->entries) record->entries->empty();
  if (record->classStack) record->classStack->empty();
}

}  // namespace

void appendQueryName(const char* name, int32_t kind, VelNameQuery* record) {
  if (!record || !name) return;  // nothing to list
  if (record->stopped || inStopSet(record->stopSet, name)) {
    stopRecord(record);
    return;
  }
  if (!record->entries) return;
  ++record->entries->count;
  VelNameEntry& entry = record->entries->last();  // grows the array when needed
  entry.name = VelCString(name);                  // refers to the literal, no copy
  entry.kind = kind;
  VelArray<VelCString>* stack = record->classStack;
  if (stack && stack->count != 0) {
    entry.owner = stack->at(stack->count);
  } else {
    entry.owner = VelCString();
  }
  if (kind != 0 && stack) stack->push(VelCString(name));
}

// Enumeration of an object's names.
#include "host/name_listing.h"

#include "cadencehost/vel_query.h"

namespace cadence::host {
namespace {

constexpr uint32_t kStopSetBuckets = 17;

std::string textOf(const VelCString& name) { return name.text ? std::string(name.text) : std::string(); }

}  // namespace

NameListing listNames(IVelUnknown* object) {
  NameListing listing;
  if (!object) return listing;
  VelArray<VelCString> classStack;
  VelArray<VelNameEntry> entries;
  // An empty stop set still has a bucket array and a non-zero bucket count.
  VelStopSetNode* heads[kStopSetBuckets] = {};
  VelNameQuery record{&classStack, &entries, VelStopSet{heads, kStopSetBuckets, 0}, 0};
  object->queryInterface(nullptr, &record);
  listing.stopped = record.stopped != 0;
  for (int32_t position = 1; position <= entries.count; ++position) {
    const VelNameEntry& entry = entries.at(position);
    listing.names.push_back(ListedName{textOf(entry.name), entry.kind != 0, textOf(entry.owner)});
  }
  return listing;
}

}  // namespace cadence::host

// Enumeration of an object's names.
#include "name_listing.h"

namespace cadence::host {
namespace {

std::string textOf(const VelCString& name) { return name.text ? std::string(name.text) : std::string(); }

}  // namespace

NameRecord::NameRecord(const std::vector<std::string>& stopNames)
    // An empty stop set still has a bucket array and a non-zero bucket count.
    : record_{&classStack_, &entries_, VelStopSet{heads_, kStopSetBuckets, 0}, 0} {
  for (const std::string& name : stopNames) {
    stopKeys_.push_back(name);
    VelStopSetNode& node = stopNodes_.emplace_back();
    node.key = VelCString(stopKeys_.back().c_str());  // borrowed
    VelStopSetNode*& head = heads_[VelCString::nameHashOf(node.key.text) % kStopSetBuckets];
    node.next = head;
    head = &node;
    ++record_.stopSet.count;
  }
}

void NameRecord::list(IVelUnknown* object) {
  if (object) object->queryInterface(nullptr, &record_);
}

NameListing NameRecord::listing() const {
  NameListing listing;
  listing.stopped = record_.stopped != 0;
  for (int32_t position = 1; position <= entries_.count; ++position) {
    const VelNameEntry& entry = entries_.at(position);
    listing.names.push_back(ListedName{textOf(entry.name), entry.kind != 0, textOf(entry.owner)});
  }
  for (int32_t position = 1; position <= classStack_.count; ++position) {
    listing.classStack.push_back(textOf(classStack_.at(position)));
  }
  return listing;
}

NameListing listNames(IVelUnknown* object) {
  NameRecord record;
  record.list(object);
  return record.listing();
}

}  // namespace cadence::host

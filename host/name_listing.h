// Reads the names an object answers to through the enumeration mode of its
// query: a record (VelNameQuery) with a stop set, then a copy of its entries
// and its class stack.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "cadencehost/vel_object.h"
#include "cadencehost/vel_query.h"

namespace cadence::host {

struct ListedName {
  std::string name;
  bool isClass;       // kind 1; otherwise an interface name
  std::string owner;  // the class name the entry was listed under, or empty
};

struct NameListing {
  std::vector<ListedName> names;
  std::vector<std::string> classStack;
  bool stopped = false;  // the record's stop flag was set
};

// One record that objects are listed into, one after another; a name in its
// stop set empties it for good.
class NameRecord {
 public:
  explicit NameRecord(const std::vector<std::string>& stopNames = std::vector<std::string>());
  NameRecord(const NameRecord&) = delete;
  NameRecord& operator=(const NameRecord&) = delete;

  void list(IVelUnknown* object);
  NameListing listing() const;

 private:
  static constexpr uint32_t kStopSetBuckets = 17;

  std::deque<std::string> stopKeys_;  // the nodes' keys borrow these texts
  std::deque<VelStopSetNode> stopNodes_;
  VelStopSetNode* heads_[kStopSetBuckets] = {};
  VelArray<VelCString> classStack_;
  VelArray<VelNameEntry> entries_;
  VelNameQuery record_;
};

// The names `object` lists into a fresh record with an empty stop set.
NameListing listNames(IVelUnknown* object);

}  // namespace cadence::host

// Reads the names an object answers to through the enumeration mode of its
// query: a fresh record with an empty stop set, then a copy of its entries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cadencehost/vel_object.h"

namespace cadence::host {

struct ListedName {
  std::string name;
  bool isClass;       // kind 1; otherwise an interface name
  std::string owner;  // the class name the entry was listed under, or empty
};

struct NameListing {
  std::vector<ListedName> names;
  bool stopped = false;  // the record's stop flag was set
};

NameListing listNames(IVelUnknown* object);

}  // namespace cadence::host

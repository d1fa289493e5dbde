// What a check can tell about a part a query answered, knowing nothing of its
// type: where the whole object starts, and, for the contract's interfaces,
// the object's IVelUnknown part seen through that interface.
#pragma once

#include <cstddef>

#include "cadencehost/vel_object.h"

namespace cadence::host::validate {

// The start of the whole object `part` (any polymorphic part of it) lies in.
// Hosts and modules share one compiler family (the contract's rule), whose
// C++ ABI keeps, in front of the table every table pointer points at, the
// distance from that part to the start of the whole object.
inline const void* wholeObjectOf(const void* part) {
  const std::ptrdiff_t* table = *static_cast<const std::ptrdiff_t* const*>(part);
  return static_cast<const char*>(part) + table[-2];
}

// The IVelUnknown part of the object as seen through `part`, the answer to a
// query for `interfaceName`; null when the name is not one of the contract's
// module-side interfaces.
IVelUnknown* unknownThroughInterface(const char* interfaceName, void* part);

}  // namespace cadence::host::validate

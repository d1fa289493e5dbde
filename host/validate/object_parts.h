// The object's IVelUnknown part seen through one of the contract's
// interfaces, for a module built without type information
// (object_layout.h reads any part of a module built with it).
#pragma once

#include "cadencehost/vel_object.h"

namespace cadence::host::validate {

// The IVelUnknown part of the object as seen through `part`, the answer to a
// query for `interfaceName`; null when the name is not one of the contract's
// module-side interfaces.
IVelUnknown* unknownThroughInterface(const char* interfaceName, void* part);

}  // namespace cadence::host::validate

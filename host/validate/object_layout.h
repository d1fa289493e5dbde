// What the compiler's object layout tells about an object a module made,
// knowing nothing of its classes: where the whole object starts, and its
// class sub-objects as its type information lists them, so that a check can
// follow any part a query answered down to the IVelUnknown it reaches. The
// host reads the layout of its own compiler family, the only one it can load.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cadencehost/vel_object.h"

namespace cadence::host::validate {

// One class sub-object of a whole object.
struct SubObject {
  std::string typeName;   // as the type information spells it
  std::ptrdiff_t offset;  // from the start of the whole object
  std::size_t end;        // index past its own bases, which follow it
  bool isVelUnknown;
};

struct ObjectLayout {
  const char* whole = nullptr;
  // The whole object first, then each base before its own bases; empty when
  // the module was built without type information.
  std::vector<SubObject> parts;
};

// The C++ ABI this program lays objects out by, as a reason names it.
const char* objectLayoutAbi();

// The start of the whole object `part` (any polymorphic part of it) lies in.
const void* wholeObjectOf(const void* part);

// The sub-objects of the object `part` lies in.
ObjectLayout layoutOf(const void* part);

}  // namespace cadence::host::validate

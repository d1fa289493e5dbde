// The query-by-name answer of the host's own objects, each of which
// implements one framework interface: the class name gives the object, then
// "IVelUnknown", then the interface name; a null name lists the class name
// and the interface name into the caller's record.
#pragma once

#include "cadencehost/vel_object.h"
#include "cadencehost/vel_query.h"

namespace cadence::host {

template <class Interface, class Concrete>
void answerQuery(Concrete* object, const char* className, const char* interfaceName,
                 const char* name, void* target) {
  if (!name) {
    velEnumerateNames(target, className, {interfaceName});
    return;
  }
  void** slot = velQuerySlot(target);
  if (!slot) return;
  if (velNameIs(name, className)) {
    *slot = object;
  } else if (velNameIs(name, "IVelUnknown")) {
    *slot = static_cast<IVelUnknown*>(object);
  } else if (velNameIs(name, interfaceName)) {
    *slot = static_cast<Interface*>(object);
  }
}

}  // namespace cadence::host

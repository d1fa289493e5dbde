// The object model's process-wide pieces: the root destructor (counting
// itself is inline in the header: local, or through the host's hooks once a
// host is installed, decided afresh at every call), the host pointer, and
// the one place that asks the host for a service by name.
#include "cadencehost/vel_object.h"
#include "cadencehost/vel_host.h"
#include "cadencehost/vel_ptr.h"

VelObject::~VelObject() = default;

IVelHost* g_host = nullptr;

int32_t lookupService(const VelCString& name, void** slot) {
  IVelHost* host = g_host;
  if (!host || !slot) return 0;
  return host->getService(name, slot);
}

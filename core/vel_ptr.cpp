// The one place that asks the host for a service by name.
#include "cadencehost/vel_ptr.h"

int32_t lookupService(const VelCString& name, void** slot) {
  IVelHost* host = g_host;
  if (!host || !slot) return 0;
  return host->getService(name, slot);
}

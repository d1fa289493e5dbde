// Reference counting of the root object: local, or through the host's hooks
// once a host is installed (decided afresh at every call).
#include "core/vel_object.h"

#include "core/vel_host.h"

VelObject::~VelObject() = default;

void IVelUnknown::addRef() {
  if (IVelHost* host = g_host) {
    host->addRefHook(&refCount);
    return;
  }
  ++refCount;
}

void IVelUnknown::releaseRef() {
  if (IVelHost* host = g_host) {
    if (host->releaseRefHook(&refCount)) delete this;
    return;
  }
  if (--refCount != 0) return;
  refCount = kVelDestroyingRefCount;  // seen by code running in the destructor
  delete this;
}

int32_t IVelUnknown::getRefCount() { return refCount; }

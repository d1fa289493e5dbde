// EntryPoint: the module's only export. Hands a new component object and the
// interface version to the host; no exception ever leaves it.
#include <cstdint>

#include "cadencehost/entry_point.h"
#include "core/component.h"
#include "platform/load_hook.h"

extern "C" VEL_MODULE_EXPORT int32_t EntryPoint(uint32_t* version, IVelComponent** object) {
  if (!object) return kVelEntryPointFailed;
  IVelComponentFactory* factory = velComponentState().componentFactory;
  if (!factory) return kVelEntryPointFailed;
  try {
    IVelComponent* component = factory->createComponent();
    *object = component;
    if (version) *version = kVelInterfaceVersion;
    return kVelEntryPointSucceeded;
  } catch (...) {
    if (version) *version = 0;
    *object = nullptr;
    return kVelEntryPointFailed;
  }
}

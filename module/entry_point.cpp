// EntryPoint: the module's only export. Hands a new component object and the
// interface version to the host; no exception ever leaves it.
#include <cstdint>

#include "cadencehost/entry_point.h"
#include "core/component.h"
#include "module/module_statics.h"

#ifdef _WIN32
#define VEL_EXPORT __declspec(dllexport)
#else
#define VEL_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VEL_EXPORT int32_t EntryPoint(uint32_t* version, IVelComponent** object) {
  if (!object) return kVelEntryPointFailed;
  IVelComponentFactory* factory = g_velComponentFactory;
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

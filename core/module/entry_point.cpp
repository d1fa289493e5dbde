// EntryPoint: the module's only export. Hands a new component object and the
// interface version to the host; no exception ever leaves it.
#include <cstdint>

#include "core/component.h"
#include "core/module/module_statics.h"

#ifdef _WIN32
#define VEL_EXPORT __declspec(dllexport)
#else
#define VEL_EXPORT __attribute__((visibility("default")))
#endif

namespace {
constexpr uint32_t kInterfaceVersion = 100;
}  // namespace

extern "C" VEL_EXPORT int32_t EntryPoint(uint32_t* version, IVelComponent** object) {
  if (!object) return 0;
  IVelComponentFactory* factory = g_velComponentFactory;
  if (!factory) return 0;
  try {
    IVelComponent* component = factory->createComponent();
    *object = component;
    if (version) *version = kInterfaceVersion;
    return 1;
  } catch (...) {
    if (version) *version = 0;
    *object = nullptr;
    return 0;
  }
}

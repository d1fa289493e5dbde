// Loading the built module the way a host does (dlopen + EntryPoint), and a
// host-side error service that records what the module reports.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cadencehost/entry_point.h"
#include "cadencehost/vel_array.h"
#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "tests/support/service_fakes.h"

namespace cadence::test {

// The module, loaded once per test process and never unloaded.
inline VelEntryPointFn moduleEntryPoint() {
  static VelEntryPointFn entry = [] {
    void* handle = dlopen(VEL_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle) ADD_FAILURE() << dlerror();
    return handle ? reinterpret_cast<VelEntryPointFn>(dlsym(handle, "EntryPoint")) : nullptr;
  }();
  return entry;
}

}  // namespace cadence::test

// Loading the built module the way a host does (the system's loader +
// EntryPoint), and a host-side error service that records what the module
// reports.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cadencehost/entry_point.h"
#include "cadencehost/vel_array.h"
#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "tests/module/module_library.h"
#include "tests/support/service_fakes.h"

namespace cadence::test {

// The module, loaded once per test process and never unloaded.
inline VelEntryPointFn moduleEntryPoint() {
  static VelEntryPointFn entry = [] {
    std::string error;
    void* handle = openModuleLibrary(VEL_MODULE_PATH, &error);
    if (!handle) ADD_FAILURE() << error;
    return handle ? reinterpret_cast<VelEntryPointFn>(moduleLibrarySymbol(handle, "EntryPoint")) : nullptr;
  }();
  return entry;
}

}  // namespace cadence::test

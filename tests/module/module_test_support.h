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

struct ErrorReport {
  std::u16string message;
  int32_t severity;
  const void* detailsData;
  int32_t detailsCapacity;
};

// Reads the module's VelString by its shared layout only.
class RecordingErrorService : public IVelErrorService {
 public:
  RecordingErrorService() { addRef(); }  // the host's own reference
  void reportError(const VelString& message, int32_t* severity, const VelBlockArray& details) override {
    reports.push_back({message.text ? std::u16string(message.text) : std::u16string(),
                       severity ? *severity : -1, details.data, details.capacity});
    if (onReport) onReport();
  }
  void queryInterface(const char*, void* target) override {
    if (target) *static_cast<void**>(target) = nullptr;
  }
  const char* getClassName() override { return "RecordingErrorService"; }

  std::vector<ErrorReport> reports;
  std::function<void()> onReport;
};

}  // namespace cadence::test

// The module opened with dlopen and its export found with dlsym.
#include "tests/module/module_library.h"

#include <dlfcn.h>

namespace cadence::test {

void* openModuleLibrary(const char* path, std::string* error) {
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) *error = dlerror();
  return handle;
}

void* moduleLibrarySymbol(void* library, const char* name) { return dlsym(library, name); }

}  // namespace cadence::test

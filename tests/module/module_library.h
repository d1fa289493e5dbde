// Opening a built module with the system's loader, as a host does: dlopen
// (RTLD_NOW | RTLD_LOCAL) on POSIX, LoadLibraryW on Windows.
#pragma once

#include <string>

namespace cadence::test {

// The library's handle, or null with the loader's reason in `error`.
void* openModuleLibrary(const char* path, std::string* error);
// The address of the exported `name`, or null.
void* moduleLibrarySymbol(void* library, const char* name);

}  // namespace cadence::test

// The module opened with LoadLibraryW and its export found with
// GetProcAddress. The path arrives as UTF-8 and is handed over as UTF-16.
#include "tests/module/module_library.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

namespace cadence::test {

void* openModuleLibrary(const char* path, std::string* error) {
  const int units = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
  std::vector<wchar_t> wide(units > 0 ? units : 1, L'\0');
  if (units > 0) MultiByteToWideChar(CP_UTF8, 0, path, -1, wide.data(), units);
  HMODULE module = LoadLibraryW(wide.data());
  if (!module) *error = std::string(path) + ": LoadLibraryW failed with error " + std::to_string(GetLastError());
  return reinterpret_cast<void*>(module);
}

void* moduleLibrarySymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace cadence::test

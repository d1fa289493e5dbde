// Opening a shared library by path, finding a symbol in it and closing it,
// through the system's own loader (dlopen on POSIX, LoadLibraryW on Windows).
// Failures come back as the loader's one-line reason.
#pragma once

#include <QString>

namespace cadence::host {

// The library's handle, or null with the reason.
void* openDynamicLibrary(const QString& path, QString* reason);
// The address of the exported `name`, or null with the reason.
void* findLibrarySymbol(void* library, const char* name, QString* reason);
void closeDynamicLibrary(void* library);

}  // namespace cadence::host

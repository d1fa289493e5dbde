// The dynamic loader on POSIX: dlopen (RTLD_NOW | RTLD_LOCAL), dlsym, dlclose.
#include "host/dynamic_library.h"

#include <dlfcn.h>

#include <QFile>

namespace cadence::host {
namespace {

QString loaderError(const char* fallback) {
  const char* error = dlerror();
  return QString::fromLocal8Bit(error ? error : fallback);
}

}  // namespace

void* openDynamicLibrary(const QString& path, QString* reason) {
  dlerror();
  void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) *reason = loaderError("unknown loader error");
  return handle;
}

void* findLibrarySymbol(void* library, const char* name, QString* reason) {
  dlerror();
  void* symbol = dlsym(library, name);
  if (!symbol) *reason = loaderError("symbol not found");
  return symbol;
}

void closeDynamicLibrary(void* library) { dlclose(library); }

}  // namespace cadence::host

// Opening the module with the dynamic loader and starting it.
#include "host/module_loader.h"

#include <dlfcn.h>

#include <QDir>
#include <QFileInfo>

namespace cadence::host {
namespace {

QString loaderError(const char* fallback) {
  const char* error = dlerror();
  return QString::fromLocal8Bit(error ? error : fallback);
}

}  // namespace

QStringList defaultModuleCandidates(const QString& programDirectory) {
  const QDir dir(programDirectory);
  QStringList candidates{
      dir.absoluteFilePath(QStringLiteral("../module/") + kModuleFileName),
      dir.absoluteFilePath(kModuleFileName),
      dir.absoluteFilePath(QStringLiteral(VEL_MODULE_DIR_FROM_PROGRAM "/") + kModuleFileName),
  };
  const QString installed = QStringLiteral(VEL_MODULE_INSTALL_PATH);
  if (!candidates.contains(installed)) candidates << installed;
  for (QString& candidate : candidates) candidate = QDir::cleanPath(candidate);
  return candidates;
}

QString firstExisting(const QStringList& candidates) {
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) return candidate;
  }
  return {};
}

bool LoadedModule::load(const QString& path, IVelHost* host, QString* reason) {
  // A bare file name would make the loader search the library path instead
  // of the current directory.
  path_ = QFileInfo(path).absoluteFilePath();
  dlerror();
  void* handle = dlopen(QFile::encodeName(path_).constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    *reason = QStringLiteral("cannot load module: ") + loaderError("unknown loader error");
    return false;
  }
  auto entryPoint = reinterpret_cast<VelEntryPointFn>(dlsym(handle, "EntryPoint"));
  if (!entryPoint) {
    *reason = QStringLiteral("module has no EntryPoint: ") + loaderError("symbol not found");
    dlclose(handle);
    return false;
  }
  uint32_t version = 0;
  IVelComponent* component = nullptr;
  const int32_t result = entryPoint(&version, &component);
  if (result != 1 || !component) {
    *reason = QStringLiteral("EntryPoint failed: it returned %1 and %2")
                  .arg(result)
                  .arg(component ? QStringLiteral("a component") : QStringLiteral("no component"));
    return false;  // the library stays open: EntryPoint may have left objects behind
  }
  if (version != kExpectedInterfaceVersion) {
    *reason = QStringLiteral("EntryPoint failed: interface version %1, expected %2")
                  .arg(version)
                  .arg(kExpectedInterfaceVersion);
    return false;
  }
  handle_ = handle;
  version_ = version;
  // Installed before the first reference is taken, so every count on the
  // module's side goes through the host's hooks.
  component->setHost(host);
  component_.assign(component);
  void* internal = nullptr;
  component->queryInterface("IVelCompInternal", &internal);
  internal_ = static_cast<IVelCompInternal*>(internal);
  return true;
}

void LoadedModule::release() {
  internal_ = nullptr;
  component_.clear();
}

}  // namespace cadence::host

// Opening the module with the dynamic loader and starting it.
#include "host/module_loader.h"

#include <QDir>
#include <QFileInfo>

#include "host/dynamic_library.h"
#include "qt/qt_versions.h"

namespace cadence::host {

bool LoadedModule::checkQtLinkage(QString* reason) {
  // Only a regular file is a module: a FIFO would hold the loader for ever,
  // a device would be read without end.
  const QFileInfo info(path_);
  if (info.exists() && !info.isFile()) {
    *reason = QStringLiteral("cannot load module: %1: not a regular file").arg(path_);
    return false;
  }
  if (QString why; !sameCompilerFamily(path_, &why)) {
    *reason = QStringLiteral("cannot use module ") + why;
    return false;
  }
  QStringList imports;
  QString unreadable;
  // A missing file, or one that cannot be parsed, is left to the loader to refuse.
  if (!readModuleFileImports(path_, &imports, &unreadable)) return true;
  qt_ = qtLinkageOf(imports);
  if (qt_.major == 0 || qt_.major == QT_VERSION_MAJOR) return true;
  *reason = QStringLiteral("cannot use module %1: it is built against Qt %2 (%3), this host against Qt %4; "
                           "build both with the same Qt major version")
                .arg(path_)
                .arg(qt_.major)
                .arg(qt_.library)
                .arg(QT_VERSION_MAJOR);
  return false;
}

bool sameCompilerFamily(const QString& path, QString* reason) {
  const CompilerFamily family = moduleFileFamily(path);
  if (family == CompilerFamily::kUnknown || family == thisProgramFamily()) return true;
  *reason = QStringLiteral("%1: it is built by another compiler family, %2, this host by %3; the two lay "
                           "the contract's objects out differently: use a host of the module's compiler family")
                .arg(path, QString::fromLatin1(familyName(family)), QString::fromLatin1(familyName(thisProgramFamily())));
  return false;
}

QStringList defaultModuleCandidates(const QString& programDirectory) {
  const QDir dir(programDirectory);
  QStringList candidates;
  candidates << dir.absoluteFilePath(QStringLiteral("../module/") + kModuleFileName)
             << dir.absoluteFilePath(kModuleFileName)
             << dir.absoluteFilePath(QStringLiteral(VEL_MODULE_DIR_FROM_PROGRAM "/") + kModuleFileName);
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
  if (!checkQtLinkage(reason)) return false;
  QString loaderReason;
  void* handle = openDynamicLibrary(path_, &loaderReason);
  if (!handle) {
    *reason = QStringLiteral("cannot load module: ") + loaderReason;
    return false;
  }
  auto entryPoint = reinterpret_cast<VelEntryPointFn>(findLibrarySymbol(handle, kVelEntryPointName, &loaderReason));
  if (!entryPoint) {
    *reason = QStringLiteral("module has no EntryPoint: ") + loaderReason;
    closeDynamicLibrary(handle);
    return false;
  }
  uint32_t version = 0;
  IVelComponent* component = nullptr;
  const int32_t result = entryPoint(&version, &component);
  if (result != kVelEntryPointSucceeded || !component) {
    *reason = QStringLiteral("EntryPoint failed: it returned %1 and %2")
                  .arg(result)
                  .arg(component ? QStringLiteral("a component") : QStringLiteral("no component"));
    return false;  // the library stays open: EntryPoint may have left objects behind
  }
  if (version != kVelInterfaceVersion) {
    *reason = QStringLiteral("EntryPoint failed: interface version %1, expected %2")
                  .arg(version)
                  .arg(kVelInterfaceVersion);
    return false;
  }
  handle_ = handle;
  version_ = version;
  // Installed before the first reference is taken, so every count on the
  // module's side goes through the host's hooks.
  component->setHost(host);
  component_.assign(component);
  void* internal = nullptr;
  component->queryInterface(IVelCompInternal::kInterfaceName, &internal);
  internal_ = static_cast<IVelCompInternal*>(internal);
  return true;
}

void LoadedModule::release() {
  internal_ = nullptr;
  component_.clear();
}

}  // namespace cadence::host

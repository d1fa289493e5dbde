// Finding, opening and starting the module.
#include "module_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include "host_os.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

QStringList defaultModuleCandidates() {
  const QDir dir(QCoreApplication::applicationDirPath());
  QStringList candidates;
  candidates << dir.absoluteFilePath(QStringLiteral("../module/") + kModuleFileName)
             << dir.absoluteFilePath(kModuleFileName)
             << dir.absoluteFilePath(QStringLiteral(VEL_MODULE_DIR_FROM_PROGRAM "/") + kModuleFileName)
             << QStringLiteral(VEL_MODULE_INSTALL_PATH);
  for (QString& candidate : candidates) candidate = QDir::cleanPath(candidate);
  candidates.removeDuplicates();
  return candidates;
}

// False with the reason when the file is another compiler family's, or
// names another Qt major than this host's.
bool checkModuleFile(const QString& path, QString* reason, QtLinkage* qt) {
  const CompilerFamily family = moduleFileFamily(path);
  if (family != CompilerFamily::kUnknown && family != thisProgramFamily()) {
    *reason =
        QStringLiteral(
            "cannot use module %1: it is built by another compiler family, %2, this host by %3; the "
            "two lay the contract's objects out differently: use a host of the module's compiler family")
            .arg(path, QString::fromLatin1(familyName(family)), QString::fromLatin1(familyName(thisProgramFamily())));
    return false;
  }
  QStringList imports;
  QString unreadable;
  // A file that cannot be parsed is left to the loader to refuse.
  if (!qt || !readModuleFileImports(path, &imports, &unreadable)) return true;
  *qt = qtLinkageOf(imports);
  if (qt->major == 0 || qt->major == QT_VERSION_MAJOR) return true;
  *reason = QStringLiteral(
                "cannot use module %1: it is built against Qt %2 (%3), this host against Qt %4; "
                "build both with the same Qt major version")
                .arg(path)
                .arg(qt->major)
                .arg(qt->library)
                .arg(QT_VERSION_MAJOR);
  return false;
}

}  // namespace

QString findModule(const QString& given, QString* reason) {
  if (!given.isEmpty()) return QFileInfo(given).absoluteFilePath();
  const QStringList candidates = defaultModuleCandidates();
  for (const QString& candidate : candidates) {
    if (QFileInfo(candidate).isFile()) return candidate;
  }
  *reason = QStringLiteral("cannot find %1 (looked in %2); give its path with --module")
                .arg(QString::fromLatin1(kModuleFileName), candidates.join(QStringLiteral(", ")));
  return QString();
}

VelEntryPointFn openEntryPoint(const QString& path, QString* reason, QtLinkage* qt) {
  const QFileInfo info(path);
  if (info.exists() && !info.isFile()) {
    *reason = QStringLiteral("cannot load module: %1: not a regular file").arg(path);
    return nullptr;
  }
  if (!checkModuleFile(path, reason, qt)) return nullptr;
  QString loaderReason;
  void* library = openDynamicLibrary(path, &loaderReason);
  if (!library) {
    *reason = QStringLiteral("cannot load module: ") + loaderReason;
    return nullptr;
  }
  auto entryPoint = reinterpret_cast<VelEntryPointFn>(findLibrarySymbol(library, kVelEntryPointName, &loaderReason));
  if (!entryPoint) {
    *reason = QStringLiteral("module has no EntryPoint: ") + loaderReason;
    closeDynamicLibrary(library);
  }
  return entryPoint;
}

bool LoadedModule::load(const QString& path, IVelHost* host, QString* reason) {
  path_ = QFileInfo(path).absoluteFilePath();
  const VelEntryPointFn entryPoint = openEntryPoint(path_, reason, &qt_);
  if (!entryPoint) return false;
  uint32_t version = 0;
  IVelComponent* component = nullptr;
  const int32_t result = entryPoint(&version, &component);
  if (result != kVelEntryPointSucceeded || !component) {
    *reason = QStringLiteral("EntryPoint failed: it returned %1 and %2")
                  .arg(result)
                  .arg(component ? QStringLiteral("a component") : QStringLiteral("no component"));
    return false;
  }
  if (version != kVelInterfaceVersion) {
    *reason =
        QStringLiteral("EntryPoint failed: interface version %1, expected %2").arg(version).arg(kVelInterfaceVersion);
    return false;
  }
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

// Loading cadencehost_mod (.so, or .dll on Windows) the way a host
// application does: open the library, find its one export EntryPoint,
// receive the component, install the host on it and keep a reference on it.
#pragma once

#include <cstdint>

#include <QString>
#include <QStringList>

#include "cadencehost/entry_point.h"
#include "cadencehost/vel_ptr.h"
#include "host/module_imports.h"

class IVelHost;

namespace cadence::host {

// cadencehost_mod.so, or cadencehost_mod.dll on Windows.
inline constexpr const char* kModuleFileName = VEL_MODULE_FILE_NAME;

// Where to look when no --module is given, in order: beside the program in the
// build tree, beside the program, then the install locations.
QStringList defaultModuleCandidates(const QString& programDirectory);

// The first candidate that exists, or an empty string.
QString firstExisting(const QStringList& candidates);

// False, with the reason (the file's path first), when the module file at
// `path` was built by the other compiler family than this host's.
bool sameCompilerFamily(const QString& path, QString* reason);

class LoadedModule {
 public:
  LoadedModule() = default;
  // The library stays loaded for the rest of the process: the module's own
  // process-wide objects are torn down at exit.
  ~LoadedModule() = default;
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  // Opens `path` and starts the module with `host` installed. False, with the
  // loader's one-line reason, when the library cannot be opened, has no
  // EntryPoint, or EntryPoint fails; also when the file names another Qt
  // major version than this host's or was built by the other compiler family
  // (both checked before the library is opened).
  bool load(const QString& path, IVelHost* host, QString* reason);

  const QString& path() const { return path_; }
  uint32_t interfaceVersion() const { return version_; }
  // The Qt core library the module file names (major 0: none).
  const QtLinkage& qtLinkage() const { return qt_; }
  IVelComponent* component() const { return component_.get(); }
  // The component's internal view, or null when it does not answer it.
  IVelCompInternal* internal() const { return internal_; }

  // Gives back the host's reference on the component.
  void release();

 private:
  bool checkQtLinkage(QString* reason);

  void* handle_ = nullptr;
  QtLinkage qt_;
  QString path_;
  uint32_t version_ = 0;
  IPtr<IVelComponent> component_;
  IVelCompInternal* internal_ = nullptr;
};

}  // namespace cadence::host

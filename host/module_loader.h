// Finding and opening a module the way a host application does: the
// system's loader, then EntryPoint by name; and the loaded module of the
// inspect and run commands, started with the host installed.
#pragma once

#include <cstdint>

#include <QString>

#include "cadencehost/entry_point.h"
#include "cadencehost/vel_ptr.h"
#include "module_image.h"

class IVelHost;

namespace cadence::host {

// cadencehost_mod.so, or cadencehost_mod.dll on Windows.
inline constexpr const char* kModuleFileName = VEL_MODULE_FILE_NAME;

// `given` made absolute when there is one (a bare file name would make the
// loader search the library path); else the first of the default places
// that holds the module: beside the program in the build tree, beside the
// program, the install location. Empty, with the reason, when none does.
QString findModule(const QString& given, QString* reason);

// Opens the library at `path` and finds EntryPoint, or null with a one-line
// reason. Refused before opening: what is not a regular file (a FIFO would
// hold the loader for ever), a module of the other compiler family, and,
// when `qt` is given, one naming another Qt major than this host's (*qt then
// holds the Qt library the file names). The library stays loaded for the
// rest of the process: the module's objects are torn down at exit.
VelEntryPointFn openEntryPoint(const QString& path, QString* reason, QtLinkage* qt = nullptr);

class LoadedModule {
 public:
  // Opens the module at `path` (as openEntryPoint, Qt major checked) and
  // starts it with `host` installed; false with the reason, also when
  // EntryPoint fails or answers another interface version.
  bool load(const QString& path, IVelHost* host, QString* reason);

  const QString& path() const { return path_; }
  uint32_t interfaceVersion() const { return version_; }
  const QtLinkage& qtLinkage() const { return qt_; }
  IVelComponent* component() const { return component_.get(); }
  // The component's internal view, or null when it does not answer it.
  IVelCompInternal* internal() const { return internal_; }

  // Gives back the host's reference on the component.
  void release();

 private:
  QString path_;
  QtLinkage qt_;
  uint32_t version_ = 0;
  IPtr<IVelComponent> component_;
  IVelCompInternal* internal_ = nullptr;
};

}  // namespace cadence::host

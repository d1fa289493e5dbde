// Finding and opening a module as a host application does, and the loaded
// module of the inspect and run commands, started with the host installed.
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

// `given` made absolute (a bare name would make the loader search), else the
// first default place that holds the module: the build tree, beside the
// program, the install location. Empty, with the reason, when none does.
QString findModule(const QString& given, QString* reason);

// Opens the library at `path` for good and finds EntryPoint, or null with the
// reason. Refused unopened: what is not a regular file, a module of the other
// compiler family, and with `qt` one of another Qt major (*qt: its Qt library).
VelEntryPointFn openEntryPoint(const QString& path, QString* reason, QtLinkage* qt = nullptr);

class LoadedModule {
 public:
  // Opens the module (Qt major checked) and starts it with `host` installed;
  // false with the reason, also for a failed EntryPoint or another version.
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

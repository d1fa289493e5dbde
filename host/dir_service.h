// "IVelDirService" of the reference host: "temp" names the system's
// temporary directory; any other name gives an empty string.
#pragma once

#include <QString>

#include "cadencehost/vel_services.h"
#include "host/live_objects.h"
#include "host/stored_text.h"

namespace cadence::host {

class HostDirService final : public IVelDirService {
 public:
  static constexpr const char* kClassName = "HostDirService";

  explicit HostDirService(const QString& tempDirectory) : temp_(tempDirectory) {}

  const VelString& directoryFor(const char* name) override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

 private:
  LiveToken token_{LiveKind::service};
  StoredText temp_;
  StoredText none_;
};

}  // namespace cadence::host

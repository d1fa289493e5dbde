// "IVelErrorService" of the reference host: writes each reported message,
// as UTF-8, on its own line to standard error (or to a sink a test gives).
#pragma once

#include <functional>
#include <string>

#include "cadencehost/vel_services.h"
#include "host/live_objects.h"

namespace cadence::host {

class HostErrorService final : public IVelErrorService {
 public:
  using Sink = std::function<void(const std::string& line)>;
  static constexpr const char* kClassName = "HostErrorService";

  HostErrorService();  // writes to standard error
  explicit HostErrorService(Sink sink);

  void reportError(const VelString& message, int32_t* severity, const VelBlockArray& details) override;
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

 private:
  LiveToken token_{LiveKind::service};
  Sink sink_;
};

}  // namespace cadence::host

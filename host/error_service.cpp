// The host's error service.
#include "host/error_service.h"

#include <cstdio>

#include "cadencehost/vel_query.h"
#include "host/stored_text.h"

namespace cadence::host {

HostErrorService::HostErrorService()
    : sink_([](const std::string& line) {
        std::fflush(stdout);  // keep the order of interleaved output readable
        std::fwrite(line.data(), 1, line.size(), stderr);
        std::fflush(stderr);
      }) {}

HostErrorService::HostErrorService(Sink sink) : sink_(std::move(sink)) {}

void HostErrorService::reportError(const VelString& message, int32_t*, const VelBlockArray&) {
  sink_("cadence-host: error service: " + utf8Of(message) + "\n");
}

void HostErrorService::queryInterface(const char* name, void* target) {
  velAnswerQuery<IVelErrorService>(this, kClassName, name, target);
}

}  // namespace cadence::host

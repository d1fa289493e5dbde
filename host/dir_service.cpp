// The host's directory service.
#include "host/dir_service.h"

#include <cstring>

#include "cadencehost/vel_query.h"

namespace cadence::host {

const VelString& HostDirService::directoryFor(const char* name) {
  if (name && std::strcmp(name, "temp") == 0) return temp_.value();
  return none_.value();
}

void HostDirService::queryInterface(const char* name, void* target) {
  velAnswerQuery<IVelDirService>(this, kClassName, name, target);
}

}  // namespace cadence::host

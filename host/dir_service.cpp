// The host's directory service.
#include "host/dir_service.h"

#include <cstring>

#include "host/host_query.h"

namespace cadence::host {

const VelString& HostDirService::directoryFor(const char* name) {
  if (name && std::strcmp(name, "temp") == 0) return temp_.value();
  return none_.value();
}

void HostDirService::queryInterface(const char* name, void* target) {
  answerQuery<IVelDirService>(this, kClassName, "IVelDirService", name, target);
}

}  // namespace cadence::host

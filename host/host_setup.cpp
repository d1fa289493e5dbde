// Wiring of the host object and its services.
#include "host_setup.h"

#include <QDir>

#include "host_services.h"
#include "host_os.h"

namespace cadence::host {

void offerHostServices(ReferenceHost& host, const QVariantMap& config, const QString& tempDirectory,
                       const QString& logsDirectory) {
  host.offer<IVelErrorService>(IVelErrorService::kInterfaceName, new HostErrorService());
  host.offer<IDataStore>(IDataStore::kInterfaceName, new HostDataStore(config, tempDirectory, logsDirectory));
  host.offer<IVelDirService>(IVelDirService::kInterfaceName, new HostDirService(tempDirectory));
  host.offer<VelMM::IVelMManager>(VelMM::IVelMManager::kInterfaceName, new HostMemoryManager());
}

ReferenceHost& installReferenceHost(const QVariantMap& config) {
  // Never destroyed: a module keeps references to the services until it is
  // itself torn down at process exit.
  auto* host = new ReferenceHost();
  // memory.log goes to a directory of the user's own, never to the shared
  // temporary directory where anyone may have planted something.
  offerHostServices(*host, config, QDir::toNativeSeparators(QDir::tempPath()), userStateDirectory());
  g_host = host;
  return *host;
}

}  // namespace cadence::host

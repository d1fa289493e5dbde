// Wiring of the host object and its services.
#include "host/host_setup.h"

#include <QDir>

#include "base/process_wide.h"
#include "host/data_store.h"
#include "host/dir_service.h"
#include "host/error_service.h"
#include "host/memory_manager.h"
#include "host/user_state_directory.h"

namespace cadence::host {

void offerHostServices(ReferenceHost& host, const QVariantMap& config, const QString& tempDirectory,
                       const QString& logsDirectory) {
  host.offer<IVelErrorService>(IVelErrorService::kInterfaceName, new HostErrorService());
  host.offer<IDataStore>(IDataStore::kInterfaceName, new HostDataStore(config, tempDirectory, logsDirectory));
  host.offer<IVelDirService>(IVelDirService::kInterfaceName, new HostDirService(tempDirectory));
  host.offer<VelMM::IVelMManager>(VelMM::IVelMManager::kInterfaceName, new HostMemoryManager());
}

ReferenceHost& installReferenceHost(const QVariantMap& config) {
  static cadence::NoDestructor<ReferenceHost> host;
  static const bool offered = [&] {
    // memory.log goes to a directory of the user's own, never to the shared
    // temporary directory where anyone may have planted something.
    offerHostServices(*host, config, QDir::toNativeSeparators(QDir::tempPath()), userStateDirectory());
    return true;
  }();
  (void)offered;
  g_host = host.get();
  return *host;
}

}  // namespace cadence::host

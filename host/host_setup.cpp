// Wiring of the host object and its services.
#include "host/host_setup.h"

#include <QDir>

#include "base/process_wide.h"
#include "host/data_store.h"
#include "host/dir_service.h"
#include "host/error_service.h"
#include "host/memory_manager.h"

namespace cadence::host {

void offerHostServices(ReferenceHost& host, const QVariantMap& config, const QString& tempDirectory) {
  host.offer<IVelErrorService>("IVelErrorService", new HostErrorService());
  host.offer<IDataStore>("IDataStore", new HostDataStore(config, tempDirectory));
  host.offer<IVelDirService>("IVelDirService", new HostDirService(tempDirectory));
  host.offer<VelMM::IVelMManager>("IVelMManager", new HostMemoryManager());
}

ReferenceHost& installReferenceHost(const QVariantMap& config) {
  static cadence::NoDestructor<ReferenceHost> host;
  static const bool offered = [&] {
    offerHostServices(*host, config, QDir::toNativeSeparators(QDir::tempPath()));
    return true;
  }();
  (void)offered;
  g_host = host.get();
  return *host;
}

}  // namespace cadence::host

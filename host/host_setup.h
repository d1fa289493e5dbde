// Builds the process-wide host object of cadence-host with its services and
// makes it the host of this program's own copy of the runtime, so the
// host's objects are counted through the same atomic hooks as the module's.
#pragma once

#include <QString>
#include <QVariantMap>

#include "cadencehost/vel_services.h"
#include "reference_host.h"

namespace cadence::host {

// Service names this host offers.
inline constexpr const char* kOfferedServices[] = {IVelErrorService::kInterfaceName, IDataStore::kInterfaceName,
                                                    IVelDirService::kInterfaceName,
                                                    VelMM::IVelMManager::kInterfaceName};

// Offers the four services on `host`; `config` holds the values of --config,
// over the default directories for temporary files and for logs.
void offerHostServices(ReferenceHost& host, const QVariantMap& config, const QString& tempDirectory,
                       const QString& logsDirectory);

// A new host offering the four services with `config`'s values, made this
// program's host (g_host). Each call builds its own, so each configuration
// takes effect; none is ever destroyed, since a module keeps references to
// its services until the module itself is torn down at process exit.
ReferenceHost& installReferenceHost(const QVariantMap& config);

}  // namespace cadence::host

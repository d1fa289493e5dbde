// The commands of cadence-host that run against a loaded module with the
// host installed, and the exit statuses every command gives.
#pragma once

#include <cstdio>

#include <QString>

#include "cadencehost/vel_id.h"

#include "command_line.h"
#include "module_loader.h"
#include "reference_host.h"

namespace cadence::host {

enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,  // the run finished but left objects alive, or a check failed
  kExitUsage = 2,    // a bad command line
  kExitModule = 3,   // the module could not be loaded or would not start
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
inline QString idText(const VelID& id) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", id.Data1, id.Data2, id.Data3,
                id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
  return QString::fromLatin1(text);
}

int inspectModule(LoadedModule& module, std::FILE* out, std::FILE* err);

// Needs a QCoreApplication: runs its event loop for the requested time.
int runTimers(const CommandLine& line, LoadedModule& module, ReferenceHost& host, std::FILE* out, std::FILE* err);

// `cadence-host validate`: every check, each in a new run of this program
// (needs the QCoreApplication), or in such a run the one `line.runCheck`
// names. 0 when every check passed, 1 when one failed, 2 for an unknown
// check, 3 when there is no module file.
namespace validate {
int runValidateCommand(const CommandLine& line, std::FILE* out, std::FILE* err);
}

}  // namespace cadence::host

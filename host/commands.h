// The commands of cadence-host that run against a loaded module with the
// host installed, and the exit statuses every command gives.
#pragma once

#include <cstdio>

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

int inspectModule(LoadedModule& module, std::FILE* out, std::FILE* err);

// Needs a QCoreApplication: runs its event loop for the requested time.
int runTimers(const CommandLine& line, LoadedModule& module, ReferenceHost& host, std::FILE* out,
              std::FILE* err);

}  // namespace cadence::host

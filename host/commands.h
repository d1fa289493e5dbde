// The commands of cadence-host, each run against a loaded module with the
// host installed; each returns the program's exit status.
#pragma once

#include <cstdio>

#include "host/command_line.h"
#include "host/module_loader.h"
#include "host/reference_host.h"

namespace cadence::host {

int inspectModule(LoadedModule& module, std::FILE* out, std::FILE* err);

// Needs a QCoreApplication: runs its event loop for the requested time.
int runTimers(const CommandLine& line, LoadedModule& module, ReferenceHost& host, std::FILE* out,
              std::FILE* err);

}  // namespace cadence::host

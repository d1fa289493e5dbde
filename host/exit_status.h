// The exit statuses of cadence-host, shared by every command.
#pragma once

namespace cadence::host {

enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,  // the run finished but left objects alive, or a service was missing
  kExitUsage = 2,    // a bad command line
  kExitModule = 3,   // the module could not be loaded or would not start
};

}  // namespace cadence::host

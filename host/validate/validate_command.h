// `cadence-host validate [--module PATH] [--json]`: checks that a component
// library of the framework keeps the contract hosts rely on.
#pragma once

#include <cstdio>

#include "command_line.h"

namespace cadence::host::validate {

// Runs every check, each in a new run of this program (needs the
// QCoreApplication), or in such a run the one `line.runCheck` names. The
// program's exit status: 0 when every check passed, 1 when one failed, 2 for
// an unknown check, 3 when there is no module file.
int runValidateCommand(const CommandLine& line, std::FILE* out, std::FILE* err);

}  // namespace cadence::host::validate

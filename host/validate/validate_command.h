// `cadence-host validate [--module PATH] [--json]`: checks that a component
// library of the framework keeps the contract hosts rely on. Recognised
// before the other commands' parsing; its options are its own.
#pragma once

#include <cstdio>

#include <QStringList>

namespace cadence::host::validate {

// Whether `arguments` (the program's, its name first) name the validate command.
bool isValidateCommand(const QStringList& arguments);

// Runs the command and gives the program's exit status: 0 when every check
// passed, 1 when one failed, 2 for bad arguments, 3 when there is no module
// file. Needs the QCoreApplication (each check runs in a new run of this
// program).
int runValidateCommand(const QStringList& arguments, std::FILE* out, std::FILE* err);

}  // namespace cadence::host::validate

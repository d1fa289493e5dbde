// The module validate checks, and the run of every check in a child process
// (or, in a child, of the one check it names).
#include "validate/validate_command.h"

#include <string>
#include <vector>

#include <QCoreApplication>
#include <QFileInfo>

#include "command_line.h"
#include "commands.h"
#include "module_loader.h"
#include "validate/checks.h"

namespace cadence::host::validate {

int runValidateCommand(const CommandLine& line, std::FILE* out, std::FILE* err) {
  QString reason;
  const QString modulePath = findModule(line.modulePath, &reason);
  if (!modulePath.isEmpty() && !QFileInfo(modulePath).isFile()) {
    reason = QString::fromLatin1("cannot find module '%1': no such file").arg(printableArgument(line.modulePath));
  }
  if (!reason.isEmpty()) {
    std::fprintf(err, "cadence-host: %s\n", reason.toUtf8().constData());
    return kExitModule;
  }
  CheckSubject subject{modulePath, !line.withoutInstances};

  if (!line.runCheck.isEmpty()) {
    const Check* check = findCheck(line.runCheck.toUtf8().constData());
    if (check) return runCheckHere(*check, subject, out);
    std::fprintf(err, "cadence-host: no check named '%s'\nUsage: cadence-host validate [--module PATH] [--json]; see "
                      "'cadence-host validate --help'.\n",
                 printableArgument(line.runCheck).toUtf8().constData());
    return kExitUsage;
  }

  const QString program = QCoreApplication::applicationFilePath();
  std::vector<CheckOutcome> outcomes;
  bool passed = true;
  for (const Check& check : allChecks()) {
    const Verdict verdict = runCheckInChild(program, check, subject);
    outcomes.push_back(CheckOutcome{check.name, verdict});
    passed = passed && verdict.passed;
    if (check.failureStopsInstances && !verdict.passed) subject.withInstances = false;
  }
  const std::string shownPath = modulePath.toUtf8().constData();
  if (line.json) {
    printJson(shownPath, outcomes, out);
  } else {
    printTable(shownPath, outcomes, out);
  }
  return passed ? kExitOk : kExitFailure;
}

}  // namespace cadence::host::validate

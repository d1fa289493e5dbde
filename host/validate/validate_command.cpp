// The validate command's options, the module it checks, and the run of every
// check in a child process (or, in a child, of the one check it names).
#include "host/validate/validate_command.h"

#include <string>
#include <vector>

#include <QCoreApplication>
#include <QFileInfo>

#include "host/argument_text.h"
#include "host/exit_status.h"
#include "host/module_loader.h"
#include "host/validate/check_process.h"
#include "host/validate/checks.h"
#include "host/validate/validation_report.h"

namespace cadence::host::validate {
namespace {

const char kCommandName[] = "validate";

const char kHelp[] =
    "Usage: cadence-host validate [--module PATH] [--json]\n"
    "Loads a component library of the framework the way a host does and checks that it keeps\n"
    "the contract hosts rely on. Each check runs in a process of its own, so a crash fails that\n"
    "check alone:\n"
    "  exports          EntryPoint is the only name the library exports\n"
    "  qt               it links this program's Qt major version, or no Qt\n"
    "  entry-point      EntryPoint gives status 1, version 100 and a new component with count 0\n"
    "                   on every call; without an object slot, status 0 and nothing written\n"
    "  identity         component id (the same object on every call), module name, build date\n"
    "                   (the same through both interfaces), binary object\n"
    "  class-listing    getClassCount equals the walk of getFirstClassId and getNextClassId,\n"
    "                   ids are unique, each has a name\n"
    "  class-instances  createInstance of each class: a status, no reference for the caller, an\n"
    "                   object answering its class name; an unknown id leaves the output alone\n"
    "  queries          on the component, the binary object and an instance of each class:\n"
    "                   exact names (near misses answer null), every part reaching the one\n"
    "                   IVelUnknown and its one count, no reference taken, the listing agrees\n"
    "                   with the queries, the stop set\n"
    "  references       counting without a host, and through the host's hooks on the counter\n"
    "                   getRefCount reads, balanced after release\n"
    "  no-services      the same work for a host that offers no service\n"
    "Every rule a check finds broken is listed, one line each. When class-instances fails, the\n"
    "later checks leave the instances out.\n"
    "\n"
    "  --module PATH    The library to check (default: cadencehost_mod, found as for the other\n"
    "                   commands).\n"
    "  --json           One JSON object instead of the table, for CI.\n"
    "\n"
    "Exit status: 0 every check passed, 1 a check failed, 2 bad arguments, 3 no module file.\n";

const char kHint[] = "Usage: cadence-host validate [--module PATH] [--json]; see 'cadence-host validate --help'.";

// The options that take a value, for finding the command word among them.
bool takesValue(const QString& option) {
  QString name = option;
  while (name.startsWith(QLatin1Char('-'))) name.remove(0, 1);
  return name == QLatin1String("module") || name == QLatin1String("config") || name == QLatin1String("timer") ||
         name == QLatin1String("for") || name == QLatin1String("run-check");
}

bool isOption(const QString& argument) { return argument.size() > 1 && argument.startsWith(QLatin1Char('-')); }

// "--name" or "-name", with its value after '=' if there is one.
bool optionIs(const QString& argument, const char* name, QString* value = nullptr) {
  QString spelled = argument;
  spelled.remove(0, spelled.startsWith(QLatin1String("--")) ? 2 : 1);
  const int equals = spelled.indexOf(QLatin1Char('='));
  if (spelled.left(equals < 0 ? spelled.size() : equals) != QLatin1String(name)) return false;
  if (value && equals >= 0) *value = spelled.mid(equals + 1);
  return value || equals < 0;
}

struct Options {
  bool help = false;
  bool json = false;
  bool moduleGiven = false;
  QString module;
  QString runCheck;  // in a child: the check to run
  bool withoutInstances = false;
};

int usageError(const QString& error, std::FILE* err) {
  std::fprintf(err, "cadence-host: %s\n%s\n", error.toUtf8().constData(), kHint);
  return kExitUsage;
}

// False, with the status of the usage error already printed, on a bad argument.
bool parseOptions(const QStringList& arguments, Options* options, int* status, std::FILE* err) {
  bool commandSeen = false;
  bool optionsEnded = false;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (!optionsEnded && argument == QLatin1String("--")) {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || !isOption(argument)) {
      if (!commandSeen && argument == QLatin1String(kCommandName)) {
        commandSeen = true;
        continue;
      }
      *status = usageError(QString::fromLatin1("unexpected argument '%1'").arg(printableArgument(argument)), err);
      return false;
    }
    QString value;
    const bool hasValue = argument.contains(QLatin1Char('='));
    QString* target = nullptr;
    if (optionIs(argument, "help") || optionIs(argument, "h")) {
      options->help = true;
    } else if (optionIs(argument, "json")) {
      options->json = true;
    } else if (optionIs(argument, "without-instances")) {
      options->withoutInstances = true;
    } else if (optionIs(argument, "module", &value)) {
      target = &options->module;
      options->moduleGiven = true;
    } else if (optionIs(argument, "run-check", &value)) {
      target = &options->runCheck;
    } else {
      *status = usageError(QString::fromLatin1("unknown option '%1'").arg(printableArgument(argument)), err);
      return false;
    }
    if (!target) continue;
    if (!hasValue) {
      if (i + 1 >= arguments.size()) {
        *status = usageError(QString::fromLatin1("missing value after '%1'").arg(printableArgument(argument)), err);
        return false;
      }
      value = arguments[++i];
    }
    if (value.isEmpty()) {
      *status = usageError(QString::fromLatin1("empty value for '%1'").arg(printableArgument(argument)), err);
      return false;
    }
    *target = value;
  }
  return true;
}

// The module file to check, or empty with the reason.
QString chooseModule(const Options& options, QString* reason) {
  if (options.moduleGiven) {
    const QFileInfo file(options.module);
    if (file.isFile()) return file.absoluteFilePath();
    *reason = QString::fromLatin1("cannot find module '%1': no such file").arg(printableArgument(options.module));
    return QString();
  }
  const QStringList candidates = defaultModuleCandidates(QCoreApplication::applicationDirPath());
  const QString found = firstExisting(candidates);
  if (found.isEmpty()) {
    *reason = QString::fromLatin1("cannot find %1 (looked in %2); give its path with --module")
                  .arg(QString::fromLatin1(kModuleFileName), candidates.join(QString::fromLatin1(", ")));
  }
  return found;
}

}  // namespace

bool isValidateCommand(const QStringList& arguments) {
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--")) return false;
    if (isOption(argument)) {
      if (takesValue(argument) && !argument.contains(QLatin1Char('='))) ++i;
      continue;
    }
    return argument == QLatin1String(kCommandName);
  }
  return false;
}

int runValidateCommand(const QStringList& arguments, std::FILE* out, std::FILE* err) {
  Options options;
  int status = kExitOk;
  if (!parseOptions(arguments, &options, &status, err)) return status;
  if (options.help) {
    std::fputs(kHelp, out);
    return kExitOk;
  }
  QString reason;
  const QString modulePath = chooseModule(options, &reason);
  if (modulePath.isEmpty()) {
    std::fprintf(err, "cadence-host: %s\n", reason.toUtf8().constData());
    return kExitModule;
  }
  CheckSubject subject{modulePath, !options.withoutInstances};

  if (!options.runCheck.isEmpty()) {
    const Check* check = findCheck(options.runCheck.toUtf8().constData());
    if (!check) return usageError(QString::fromLatin1("no check named '%1'").arg(printableArgument(options.runCheck)), err);
    return runCheckHere(*check, subject, out);
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
  if (options.json) {
    printJson(shownPath, outcomes, out);
  } else {
    printTable(shownPath, outcomes, out);
  }
  return passed ? kExitOk : kExitFailure;
}

}  // namespace cadence::host::validate

// Parsing the command line of cadence-host.
#include "host/command_line.h"

#include <cmath>
#include <set>

#include <QMap>

#include "host/argument_text.h"
#include "host/timer_name.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

const char* const kGeneralHelp =
    "Usage: cadence-host [COMMAND] [OPTIONS]\n"
    "Loads cadencehost_mod.so as a host application does and drives its timer service.\n"
    "\n"
    "Commands:\n"
    "  inspect          Describe the module: name, build date, identifiers, binary object,\n"
    "                   classes and the names each class answers to.\n"
    "  run              Run named repeating timers on the Qt event loop, print a line per\n"
    "                   alert and a summary per timer.\n"
    "  validate         Check that a component library keeps the contract hosts rely on,\n"
    "                   each check in a process of its own; see 'cadence-host validate --help'.\n"
    "  (none)           A three-second demo: 'run' with three timers of different periods.\n"
    "\n"
    "Options for every command:\n"
    "  --module PATH    The module to load (default: beside the program in the build tree,\n"
    "                   then the install location).\n"
    "  --config FILE    INI file for the host's data store (keys 'Directories/Logs Directory',\n"
    "                   'Directories/Temp Directory', 'Memory/UseErrorService').\n"
    "  --verbose        Report on standard error what the host does and what it counted.\n"
    "  -h, --help       Show this help, or a command's help after the command.\n"
    "  --version        Show the version.\n"
    "\n"
    "Exit status: 0 done, 1 objects left alive after a run, 2 bad arguments,\n"
    "3 the module could not be loaded or started.\n";

const char* const kInspectHelp =
    "Usage: cadence-host inspect [--module PATH] [--config FILE] [--verbose]\n"
    "Prints the module name, build date, component identifier, interface version, the binary\n"
    "object's version and identifier bytes, and every class with its identifier, its name and\n"
    "the names an instance answers to (class name first, then its interfaces).\n";

const char* const kRunHelp =
    "Usage: cadence-host run [--timer NAME=MS]... [--for SECONDS] [--quiet]\n"
    "                        [--module PATH] [--config FILE] [--verbose]\n"
    "Creates the timer service through the module's class factory, one repeating timer per\n"
    "--timer with a listener that prints a line per alert (elapsed milliseconds, timer name,\n"
    "pass number), runs the Qt event loop for the given time, shuts the service down, removes\n"
    "the timers and prints per timer: alerts, mean period and worst lateness.\n"
    "\n"
    "  --timer NAME=MS  A timer named NAME alerting every MS milliseconds (1 to 86400000);\n"
    "                   repeat for more timers. Without any, the demo's three timers run.\n"
    "  --for SECONDS    How long to run the event loop (default 3; fractions allowed).\n"
    "  --quiet          Print the summary only.\n";

const QString kGeneralHint = QStringLiteral("Usage: cadence-host [inspect|run] [OPTIONS]; see 'cadence-host --help'.");
const QString kInspectHint = QStringLiteral("Usage: cadence-host inspect [OPTIONS]; see 'cadence-host inspect --help'.");
const QString kRunHint =
    QStringLiteral("Usage: cadence-host run [--timer NAME=MS]... [--for SECONDS] [--quiet]; "
                   "see 'cadence-host run --help'.");

const char* const kValueOptions[] = {"module", "config"};
const char* const kFlagOptions[] = {"verbose", "h", "help", "version"};
const char* const kRunValueOptions[] = {"timer", "for"};
const char* const kRunFlagOptions[] = {"quiet"};

template <size_t N>
bool isOneOf(const QString& name, const char* const (&names)[N]) {
  for (const char* candidate : names) {
    if (name == QLatin1String(candidate)) return true;
  }
  return false;
}

// "--name", "-name", "--name=value" or "-name=value": the name.
QString optionName(const QString& argument) {
  const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
  return name.left(name.indexOf('='));  // left(-1) is all of it
}

// Options that take a value, so the word after them is not a command.
bool takesValue(const QString& argument) {
  return !argument.contains('=') &&
         (isOneOf(optionName(argument), kValueOptions) || isOneOf(optionName(argument), kRunValueOptions));
}

QString optionSpelling(const QString& name) { return (name.size() == 1 ? "-" : "--") + name; }

// The options and words after the command: "--name value", "--name=value",
// the same with one dash, flags, and every word after "--" a positional one.
// "-h" is recorded as "help".
struct ScannedOptions {
  QMap<QString, QStringList> given;  // by name, in order; a flag's values are empty
  QStringList positional;
  QString unknown;  // the first unknown option's name
  QString error;    // the first other problem, one line

  bool isSet(const QString& name) const { return given.contains(name); }
  QStringList values(const QString& name) const { return given.value(name); }
  QString value(const QString& name) const { return isSet(name) ? given.value(name).last() : QString(); }
};

ScannedOptions scanOptions(const QStringList& arguments, bool runs) {
  ScannedOptions scanned;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--")) {
      scanned.positional << arguments.mid(i + 1);
      break;
    }
    if (!argument.startsWith('-') || argument.size() == 1) {
      scanned.positional << argument;
      continue;
    }
    QString name = optionName(argument);
    const bool takes = isOneOf(name, kValueOptions) || (runs && isOneOf(name, kRunValueOptions));
    const bool flag = isOneOf(name, kFlagOptions) || (runs && isOneOf(name, kRunFlagOptions));
    if (!takes && !flag) {
      if (scanned.unknown.isEmpty()) scanned.unknown = name;
      continue;
    }
    if (name == QLatin1String("h")) name = QStringLiteral("help");
    const int equals = argument.indexOf('=');
    QString value;
    if (equals >= 0) {
      value = argument.mid(equals + 1);
      if (flag && scanned.error.isEmpty()) {
        scanned.error = QStringLiteral("unexpected value after '%1'").arg(printableArgument(argument.left(equals)));
      }
    } else if (takes) {
      if (i + 1 == arguments.size()) {
        if (scanned.error.isEmpty()) scanned.error = QStringLiteral("missing value after '%1'").arg(printableArgument(argument));
        continue;
      }
      value = arguments[++i];
    }
    scanned.given[name] << value;
  }
  return scanned;
}

ParsedCommandLine failure(const QString& error, const QString& hint) {
  ParsedCommandLine parsed;
  parsed.error = error;
  parsed.usageHint = hint;
  return parsed;
}

bool parseSeconds(const QString& text, double* seconds) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value) || value <= 0 || value > kMaxRunSeconds) return false;
  *seconds = value;
  return true;
}

}  // namespace

std::vector<TimerRequest> demoTimers() { return {{"fast", 250}, {"steady", 500}, {"slow", 1000}}; }

QString parseTimerRequest(const QString& text, TimerRequest* request) {
  const QString shown = printableArgument(text);
  const int split = text.lastIndexOf('=');
  QString digits = split < 0 ? QString() : text.mid(split + 1);
  const bool negative = digits.startsWith('-');
  if (negative) digits.remove(0, 1);
  bool allDigits = !digits.isEmpty();
  for (QChar c : digits) {
    if (!c.isDigit() || c.unicode() > 0x7F) allDigits = false;  // no sign, space or exponent
  }
  if (split < 0 || !allDigits) {
    return QStringLiteral("malformed --timer '%1': expected NAME=MS, MS a whole number of milliseconds from 1 to %2")
        .arg(shown, QString::number(kMaxPeriodMs));
  }
  std::string name;
  const QString nameProblem = checkTimerName(text.left(split), &name);
  if (!nameProblem.isEmpty()) return QStringLiteral("bad --timer '%1': %2").arg(shown, nameProblem);
  // Any number of digits is a number; only its value can be wrong.
  int firstSignificant = 0;
  while (firstSignificant < digits.size() && digits[firstSignificant] == '0') ++firstSignificant;
  const QString significant = digits.mid(firstSignificant);
  const int period = significant.size() > 9 ? kMaxPeriodMs + 1 : significant.toInt();
  if (negative || period < 1 || period > kMaxPeriodMs) {
    // One arg() call: a '%' in the user's text must not be taken for a placeholder.
    return QStringLiteral("bad --timer '%1': the period %2%3 ms is out of range (1 to %4 ms)")
        .arg(shown, negative ? QStringLiteral("-") : QString(), printableArgument(digits),
             QString::number(kMaxPeriodMs));
  }
  request->name = std::move(name);
  request->periodMs = period;
  return QString();
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
  QStringList rest = arguments;
  if (rest.isEmpty()) rest << QStringLiteral("cadence-host");

  Command command = Command::demo;
  for (int i = 1; i < rest.size(); ++i) {
    const QString& argument = rest[i];
    if (argument == "--") break;
    if (argument.startsWith('-') && argument.size() > 1) {
      if (takesValue(argument)) ++i;
      continue;
    }
    if (argument == "inspect") {
      command = Command::inspect;
    } else if (argument == "run") {
      command = Command::run;
    } else {
      return failure(QStringLiteral("unknown command '%1'").arg(printableArgument(argument)), kGeneralHint);
    }
    rest.removeAt(i);
    break;
  }
  const bool runs = command != Command::inspect;
  const QString& hint = command == Command::inspect ? kInspectHint
                        : command == Command::run   ? kRunHint
                                                    : kGeneralHint;

  const ScannedOptions options = scanOptions(rest, runs);
  if (!options.unknown.isEmpty()) {
    return failure(QStringLiteral("unknown option '%1'").arg(printableArgument(optionSpelling(options.unknown))), hint);
  }
  if (!options.error.isEmpty()) return failure(options.error, hint);

  ParsedCommandLine parsed;
  CommandLine& line = parsed.line;
  if (options.isSet(QStringLiteral("help"))) {
    line.command = Command::help;
    line.helpText = QString::fromLatin1(command == Command::inspect ? kInspectHelp
                                        : command == Command::run   ? kRunHelp
                                                                    : kGeneralHelp);
    parsed.ok = true;
    return parsed;
  }
  if (options.isSet(QStringLiteral("version"))) {
    line.command = Command::version;
    parsed.ok = true;
    return parsed;
  }
  if (!options.positional.isEmpty()) {
    return failure(QStringLiteral("unexpected argument '%1'").arg(printableArgument(options.positional.first())), hint);
  }

  line.command = command;
  line.modulePath = options.value(QStringLiteral("module"));
  line.configPath = options.value(QStringLiteral("config"));
  line.verbose = options.isSet(QStringLiteral("verbose"));
  if (options.isSet(QStringLiteral("module")) && line.modulePath.isEmpty()) {
    return failure(QStringLiteral("empty value for '--module'"), hint);
  }
  if (options.isSet(QStringLiteral("config")) && line.configPath.isEmpty()) {
    return failure(QStringLiteral("empty value for '--config'"), hint);
  }
  if (runs) {
    std::set<std::string> names;
    for (const QString& value : options.values(QStringLiteral("timer"))) {
      TimerRequest request;
      const QString problem = parseTimerRequest(value, &request);
      if (!problem.isEmpty()) return failure(problem, hint);
      if (!names.insert(request.name).second) {
        return failure(
            QStringLiteral("duplicate --timer name '%1'").arg(printableArgument(QString::fromStdString(request.name))),
            hint);
      }
      line.timers.push_back(request);
    }
    if (line.timers.empty()) line.timers = demoTimers();
    if (options.isSet(QStringLiteral("for"))) {
      const QString value = options.value(QStringLiteral("for"));
      if (!parseSeconds(value, &line.seconds)) {
        return failure(QStringLiteral("malformed --for '%1': expected a number of seconds above 0, at most %2")
                           .arg(printableArgument(value), QString::number(kMaxRunSeconds)),
                       hint);
      }
    }
    line.quiet = options.isSet(QStringLiteral("quiet"));
  }
  parsed.ok = true;
  return parsed;
}

}  // namespace cadence::host

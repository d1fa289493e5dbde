// Parsing the command line of cadence-host with QCommandLineParser.
#include "host/command_line.h"

#include <cmath>
#include <set>

#include <QCommandLineParser>

#include "host/argument_text.h"
#include "host/timer_name.h"

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

// Options that take a value, so the word after them is not a command.
bool takesValue(const QString& argument) {
  QString name = argument;
  while (name.startsWith('-')) name.remove(0, 1);
  return !name.contains('=') &&
         (name == "module" || name == "config" || name == "timer" || name == "for");
}

QString optionSpelling(const QString& name) { return (name.size() == 1 ? "-" : "--") + name; }

// Qt's "Missing value after '--for'." as "missing value after '--for'".
QString asOneLine(QString text) {
  if (text.endsWith('.')) text.chop(1);
  if (!text.isEmpty()) text[0] = text[0].toLower();
  return text;
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

  QCommandLineParser parser;
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption moduleOption(QStringLiteral("module"), QString(), QStringLiteral("PATH"));
  const QCommandLineOption configOption(QStringLiteral("config"), QString(), QStringLiteral("FILE"));
  const QCommandLineOption verboseOption(QStringLiteral("verbose"));
  const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
  const QCommandLineOption versionOption(QStringLiteral("version"));
  const QCommandLineOption timerOption(QStringLiteral("timer"), QString(), QStringLiteral("NAME=MS"));
  const QCommandLineOption forOption(QStringLiteral("for"), QString(), QStringLiteral("SECONDS"));
  const QCommandLineOption quietOption(QStringLiteral("quiet"));
  parser.addOptions({moduleOption, configOption, verboseOption, helpOption, versionOption});
  if (runs) parser.addOptions({timerOption, forOption, quietOption});

  const bool parsedOk = parser.parse(rest);
  if (!parser.unknownOptionNames().isEmpty()) {
    return failure(QStringLiteral("unknown option '%1'")
                       .arg(printableArgument(optionSpelling(parser.unknownOptionNames().first()))),
                   hint);
  }
  if (!parsedOk) return failure(asOneLine(parser.errorText()), hint);

  ParsedCommandLine parsed;
  CommandLine& line = parsed.line;
  if (parser.isSet(helpOption)) {
    line.command = Command::help;
    line.helpText = QString::fromLatin1(command == Command::inspect ? kInspectHelp
                                        : command == Command::run   ? kRunHelp
                                                                    : kGeneralHelp);
    parsed.ok = true;
    return parsed;
  }
  if (parser.isSet(versionOption)) {
    line.command = Command::version;
    parsed.ok = true;
    return parsed;
  }
  if (!parser.positionalArguments().isEmpty()) {
    return failure(
        QStringLiteral("unexpected argument '%1'").arg(printableArgument(parser.positionalArguments().first())), hint);
  }

  line.command = command;
  line.modulePath = parser.value(moduleOption);
  line.configPath = parser.value(configOption);
  line.verbose = parser.isSet(verboseOption);
  if (parser.isSet(moduleOption) && line.modulePath.isEmpty()) {
    return failure(QStringLiteral("empty value for '--module'"), hint);
  }
  if (parser.isSet(configOption) && line.configPath.isEmpty()) {
    return failure(QStringLiteral("empty value for '--config'"), hint);
  }
  if (runs) {
    std::set<std::string> names;
    for (const QString& value : parser.values(timerOption)) {
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
    if (parser.isSet(forOption)) {
      const QString value = parser.value(forOption);
      if (!parseSeconds(value, &line.seconds)) {
        return failure(QStringLiteral("malformed --for '%1': expected a number of seconds above 0, at most %2")
                           .arg(printableArgument(value), QString::number(kMaxRunSeconds)),
                       hint);
      }
    }
    line.quiet = parser.isSet(quietOption);
  }
  parsed.ok = true;
  return parsed;
}

}  // namespace cadence::host

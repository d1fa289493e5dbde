// Parsing the command line of cadence-host.
#include "command_line.h"

#include <cmath>
#include <set>

#include <QMap>

#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

QString upperHex(unsigned value, int digits) {
  return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

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

const char* const kValidateHelp =
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

enum CommandBit : unsigned { kDemo = 1, kInspect = 2, kRun = 4, kValidate = 8, kAll = 15, kLoads = 7, kRuns = 5 };

struct CommandEntry {
  const char* word;
  Command command;
  unsigned bit;
  const char* help;
  const char* hint;
};

const CommandEntry kCommands[] = {
    {"", Command::demo, kDemo, kGeneralHelp, "Usage: cadence-host [inspect|run] [OPTIONS]; see 'cadence-host --help'."},
    {"inspect", Command::inspect, kInspect, kInspectHelp,
     "Usage: cadence-host inspect [OPTIONS]; see 'cadence-host inspect --help'."},
    {"run", Command::run, kRun, kRunHelp,
     "Usage: cadence-host run [--timer NAME=MS]... [--for SECONDS] [--quiet]; see 'cadence-host run --help'."},
    {"validate", Command::validate, kValidate, kValidateHelp,
     "Usage: cadence-host validate [--module PATH] [--json]; see 'cadence-host validate --help'."},
};

struct OptionEntry {
  const char* name;
  bool takesValue;
  unsigned commands;  // the CommandBits that accept it
};

// "run-check" and "without-instances" are the child runs' of validate.
const OptionEntry kOptions[] = {
    {"module", true, kAll},     {"config", true, kLoads},       {"verbose", false, kLoads},
    {"h", false, kAll},         {"help", false, kAll},          {"version", false, kLoads},
    {"timer", true, kRuns},     {"for", true, kRuns},           {"quiet", false, kRuns},
    {"json", false, kValidate}, {"run-check", true, kValidate}, {"without-instances", false, kValidate},
};

// "--name", "-name", "--name=value" or "-name=value": the name.
QString optionName(const QString& argument) {
  const QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
  return name.left(name.indexOf('='));  // left(-1) is all of it
}

const OptionEntry* findOption(const QString& name, unsigned command) {
  for (const OptionEntry& option : kOptions) {
    if (name == QLatin1String(option.name) && (option.commands & command)) return &option;
  }
  return nullptr;
}

bool isOption(const QString& argument) { return argument.startsWith('-') && argument.size() > 1; }

QString optionSpelling(const QString& name) { return (name.size() == 1 ? "-" : "--") + name; }

// The options and words after the command. "-h" is recorded as "help".
struct ScannedOptions {
  QMap<QString, QStringList> given;  // by name, in order; a flag's values are empty
  QStringList positional;
  QString unknown;  // the first unknown option's name
  QString error;    // the first other problem, one line

  bool isSet(const QString& name) const { return given.contains(name); }
  QStringList values(const QString& name) const { return given.value(name); }
  QString value(const QString& name) const { return isSet(name) ? given.value(name).last() : QString(); }
};

ScannedOptions scanOptions(const QStringList& arguments, unsigned command) {
  ScannedOptions scanned;
  for (int i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == QLatin1String("--")) {
      scanned.positional << arguments.mid(i + 1);
      break;
    }
    if (!isOption(argument)) {
      scanned.positional << argument;
      continue;
    }
    QString name = optionName(argument);
    const OptionEntry* option = findOption(name, command);
    if (!option) {
      if (scanned.unknown.isEmpty()) scanned.unknown = name;
      continue;
    }
    if (name == QLatin1String("h")) name = QStringLiteral("help");
    const int equals = argument.indexOf('=');
    QString value;
    if (equals >= 0) {
      value = argument.mid(equals + 1);
      if (!option->takesValue && scanned.error.isEmpty()) {
        scanned.error = QStringLiteral("unexpected value after '%1'").arg(printableArgument(argument.left(equals)));
      }
    } else if (option->takesValue) {
      if (i + 1 == arguments.size()) {
        if (scanned.error.isEmpty())
          scanned.error = QStringLiteral("missing value after '%1'").arg(printableArgument(argument));
        continue;
      }
      value = arguments[++i];
    }
    scanned.given[name] << value;
  }
  return scanned;
}

ParsedCommandLine failure(const QString& error, const CommandEntry& command) {
  ParsedCommandLine parsed;
  parsed.error = error;
  parsed.usageHint = QString::fromLatin1(command.hint);
  return parsed;
}

bool parseSeconds(const QString& text, double* seconds) {
  bool ok = false;
  const double value = text.trimmed().toDouble(&ok);
  if (!ok || !std::isfinite(value) || value <= 0 || value > kMaxRunSeconds) return false;
  *seconds = value;
  return true;
}

// The timers and the time of a run, into `line`; the first problem, or empty.
QString parseRunOptions(const ScannedOptions& options, CommandLine* line) {
  std::set<std::string> names;
  for (const QString& value : options.values(QStringLiteral("timer"))) {
    TimerRequest request;
    const QString problem = parseTimerRequest(value, &request);
    if (!problem.isEmpty()) return problem;
    if (!names.insert(request.name).second) {
      return QStringLiteral("duplicate --timer name '%1'").arg(printableArgument(QString::fromStdString(request.name)));
    }
    line->timers.push_back(request);
  }
  if (line->timers.empty()) line->timers = demoTimers();
  if (options.isSet(QStringLiteral("for")) && !parseSeconds(options.value(QStringLiteral("for")), &line->seconds)) {
    return QStringLiteral("malformed --for '%1': expected a number of seconds above 0, at most %2")
        .arg(printableArgument(options.value(QStringLiteral("for"))), QString::number(kMaxRunSeconds));
  }
  line->quiet = options.isSet(QStringLiteral("quiet"));
  return QString();
}

}  // namespace

QString printableArgument(const QString& text) {
  QString shown;
  int characters = 0;
  for (int i = 0; i < text.size(); ++i, ++characters) {
    if (characters == kShownCharacters) return shown + QStringLiteral("...");
    const QChar c = text[i];
    const ushort unit = c.unicode();
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      shown.append(c).append(text[++i]);
    } else if (c == '\t' || c == '\n' || c == '\r') {
      shown.append(c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r");
    } else if (isControlCharacter(unit) || c.isHighSurrogate() || c.isLowSurrogate()) {
      const bool small = unit < 0x80;
      shown.append(QString::fromLatin1(small ? "\\x" : "\\u") + upperHex(unit, small ? 2 : 4));
    } else {
      shown.append(c);
    }
  }
  return shown;
}

QString checkTimerName(const QString& name, std::string* accepted) {
  for (int i = 0; i < name.size(); ++i) {
    const QChar c = name[i];
    // What the program's arguments hold where their bytes were not UTF-8.
    if (c.unicode() == 0xFFFD) return QStringLiteral("the name is not valid UTF-8 (it holds U+FFFD)");
    if (c.isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
      ++i;
      continue;
    }
    if (c.isHighSurrogate() || c.isLowSurrogate())
      return QStringLiteral("the name is not valid UTF-8 (an unpaired surrogate)");
    if (isControlCharacter(c.unicode())) {
      return QStringLiteral("the name holds a control character (U+%1)").arg(upperHex(c.unicode(), 4));
    }
  }
  const QString trimmed = name.trimmed();
  if (trimmed.isEmpty()) return QStringLiteral("the name is empty");
  const QByteArray bytes = trimmed.toUtf8();
  if (bytes.size() > kMaxTimerNameBytes) {
    return QStringLiteral("the name is %1 bytes of UTF-8, more than %2").arg(bytes.size()).arg(kMaxTimerNameBytes);
  }
  accepted->assign(bytes.constData(), static_cast<size_t>(bytes.size()));
  return QString();
}

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

  // The command is the first word that is neither an option nor the value
  // of one.
  const CommandEntry* chosen = &kCommands[0];
  for (int i = 1; i < rest.size(); ++i) {
    const QString& argument = rest[i];
    if (argument == QLatin1String("--")) break;
    if (isOption(argument)) {
      const OptionEntry* option = findOption(optionName(argument), kAll);
      if (option && option->takesValue && !argument.contains('=')) ++i;
      continue;
    }
    for (const CommandEntry& command : kCommands) {
      if (command.word[0] && argument == QLatin1String(command.word)) chosen = &command;
    }
    if (chosen == &kCommands[0]) {
      return failure(QStringLiteral("unknown command '%1'").arg(printableArgument(argument)), *chosen);
    }
    rest.removeAt(i);
    break;
  }

  const ScannedOptions options = scanOptions(rest, chosen->bit);
  if (!options.unknown.isEmpty()) {
    return failure(QStringLiteral("unknown option '%1'").arg(printableArgument(optionSpelling(options.unknown))),
                   *chosen);
  }
  if (!options.error.isEmpty()) return failure(options.error, *chosen);

  ParsedCommandLine parsed;
  CommandLine& line = parsed.line;
  parsed.ok = true;
  if (options.isSet(QStringLiteral("help"))) {
    line.command = Command::help;
    line.helpText = QString::fromLatin1(chosen->help);
    return parsed;
  }
  if (options.isSet(QStringLiteral("version"))) {
    line.command = Command::version;
    return parsed;
  }
  if (!options.positional.isEmpty()) {
    return failure(QStringLiteral("unexpected argument '%1'").arg(printableArgument(options.positional.first())),
                   *chosen);
  }
  line.command = chosen->command;
  for (const char* name : {"module", "config", "run-check"}) {
    if (options.isSet(QLatin1String(name)) && options.value(QLatin1String(name)).isEmpty()) {
      return failure(QStringLiteral("empty value for '--%1'").arg(QLatin1String(name)), *chosen);
    }
  }
  line.modulePath = options.value(QStringLiteral("module"));
  line.configPath = options.value(QStringLiteral("config"));
  line.verbose = options.isSet(QStringLiteral("verbose"));
  line.json = options.isSet(QStringLiteral("json"));
  line.runCheck = options.value(QStringLiteral("run-check"));
  line.withoutInstances = options.isSet(QStringLiteral("without-instances"));
  if (chosen->bit & kRuns) {
    const QString problem = parseRunOptions(options, &line);
    if (!problem.isEmpty()) return failure(problem, *chosen);
  }
  return parsed;
}

}  // namespace cadence::host

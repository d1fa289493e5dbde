// The command line of cadence-host, one parser for every command: which
// command to run and its options, or the one-line reason why the arguments
// are not acceptable.
#pragma once

#include <string>
#include <vector>

#include <QString>
#include <QStringList>

namespace cadence::host {

struct TimerRequest {
  std::string name;
  int periodMs = 0;
};

enum class Command { demo, inspect, run, validate, help, version };

struct CommandLine {
  Command command = Command::demo;
  QString helpText;    // for Command::help
  QString modulePath;  // empty: look in the default places
  QString configPath;  // empty: defaults only
  bool verbose = false;
  // run (and the demo, which is run with the demo timers)
  std::vector<TimerRequest> timers;
  double seconds = 3.0;
  bool quiet = false;
  // validate, and in a child run its one check
  bool json = false;
  QString runCheck;
  bool withoutInstances = false;
};

struct ParsedCommandLine {
  bool ok = false;
  CommandLine line;
  QString error;      // one line naming the bad argument
  QString usageHint;  // what to type for help
};

// C0 controls (tab and line feed among them), DEL and the C1 controls.
inline bool isControlCharacter(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// `text` fit for a one-line message: \t, \n, \r, other controls as \xHH or
// \uHHHH, unpaired surrogates as \uHHHH, cut to kShownCharacters with "...".
inline constexpr int kShownCharacters = 60;
QString printableArgument(const QString& text);

// A timer name goes into every alert line and the summary: well-formed UTF-8
// (no U+FFFD), no control characters, not empty once trimmed, at most
// kMaxTimerNameBytes. Empty when acceptable (*accepted: trimmed, as UTF-8),
// else the problem, e.g. "the name holds a control character (U+0009)".
inline constexpr int kMaxTimerNameBytes = 256;
QString checkTimerName(const QString& name, std::string* accepted);

inline constexpr int kMaxPeriodMs = 86400000;    // one day
inline constexpr double kMaxRunSeconds = 86400;  // one day

// The demo's three timers of different periods.
std::vector<TimerRequest> demoTimers();

// `arguments` as the program received them (programArguments), its name
// first. Options take "--name value", "--name=value" or one dash; every word
// after "--" is a positional one.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// "NAME=MS" (MS after the last '='), NAME as checkTimerName accepts, MS whole
// milliseconds from 1 to kMaxPeriodMs. Empty when acceptable, else the problem.
QString parseTimerRequest(const QString& text, TimerRequest* request);

}  // namespace cadence::host

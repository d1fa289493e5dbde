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
  // validate; in a child run of one check, the check and whether the
  // module's classes are left out
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

inline constexpr int kMaxPeriodMs = 86400000;    // one day
inline constexpr double kMaxRunSeconds = 86400;  // one day

// The demo's three timers of different periods.
std::vector<TimerRequest> demoTimers();

// `arguments` as the program received them (programArguments), its name
// first. Options take "--name value", "--name=value" or one dash; every word
// after "--" is a positional one.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

// "NAME=MS": NAME a name checkTimerName accepts (it may itself hold '=';
// MS follows the last one), MS a whole number of milliseconds from 1 to
// kMaxPeriodMs. Empty when acceptable, and then *request holds the trimmed
// name and the period; otherwise the one-line message naming the problem.
QString parseTimerRequest(const QString& text, TimerRequest* request);

}  // namespace cadence::host

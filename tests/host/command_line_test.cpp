// The command line of cadence-host: commands, options, help and version, the
// demo's defaults, and the one-line message for every kind of bad argument
// (timer names that would break the output, periods out of range); the
// alert statistics printed in the run's summary and the alerts a window counts.
#include <gtest/gtest.h>

#include <QStringList>

#include <vector>

#include "host/command_line.h"
#include "host/run_window.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

// Words as a test writes them (Qt 4 has no QStringList from a braced list
// for every compiler).
using Words = std::vector<QString>;

ParsedCommandLine parse(const Words& words) {
  QStringList arguments;
  arguments << QStringLiteral("cadence-host");
  for (const QString& word : words) arguments << word;
  return parseCommandLine(arguments);
}

TEST(CommandLine, NoArgumentsIsTheThreeSecondDemoWithThreeTimersOfDifferentPeriods) {
  const ParsedCommandLine parsed = parse({});
  ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
  EXPECT_EQ(parsed.line.command, Command::demo);
  EXPECT_DOUBLE_EQ(parsed.line.seconds, 3.0);
  ASSERT_EQ(parsed.line.timers.size(), 3u);
  EXPECT_NE(parsed.line.timers[0].periodMs, parsed.line.timers[1].periodMs);
  EXPECT_NE(parsed.line.timers[1].periodMs, parsed.line.timers[2].periodMs);
  EXPECT_NE(parsed.line.timers[0].periodMs, parsed.line.timers[2].periodMs);
  EXPECT_FALSE(parsed.line.quiet);
}

TEST(CommandLine, RunTakesItsTimersDurationAndQuietness) {
  const ParsedCommandLine parsed =
      parse({"run", "--timer", "a=100", "--timer=b=c=250", "--for", "1.5", "--quiet", "--verbose"});
  ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
  const CommandLine& line = parsed.line;
  EXPECT_EQ(line.command, Command::run);
  ASSERT_EQ(line.timers.size(), 2u);
  EXPECT_EQ(line.timers[0].name, "a");
  EXPECT_EQ(line.timers[0].periodMs, 100);
  EXPECT_EQ(line.timers[1].name, "b=c");  // the period follows the last '='
  EXPECT_EQ(line.timers[1].periodMs, 250);
  EXPECT_DOUBLE_EQ(line.seconds, 1.5);
  EXPECT_TRUE(line.quiet);
  EXPECT_TRUE(line.verbose);
}

TEST(CommandLine, GlobalOptionsMayComeBeforeOrAfterTheCommand) {
  ParsedCommandLine parsed = parse({"--module", "/x/m.so", "inspect", "--config", "/x/h.ini"});
  ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
  EXPECT_EQ(parsed.line.command, Command::inspect);
  EXPECT_EQ(parsed.line.modulePath, "/x/m.so");
  EXPECT_EQ(parsed.line.configPath, "/x/h.ini");

  parsed = parse({"-module", "/y/m.so", "inspect"});  // one dash as well
  ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
  EXPECT_EQ(parsed.line.modulePath, "/y/m.so");

  parsed = parse({"--timer", "run=5", "run"});  // a value is never taken for the command
  ASSERT_TRUE(parsed.ok) << parsed.error.toStdString();
  EXPECT_EQ(parsed.line.command, Command::run);
  EXPECT_EQ(parsed.line.timers[0].name, "run");
}

TEST(CommandLine, HelpIsPerCommandAndVersionIsEverywhere) {
  ParsedCommandLine parsed = parse({"--help"});
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.line.command, Command::help);
  EXPECT_TRUE(parsed.line.helpText.contains("inspect"));
  EXPECT_TRUE(parsed.line.helpText.contains("run"));

  parsed = parse({"run", "--help"});
  ASSERT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.line.helpText.startsWith("Usage: cadence-host run"));
  EXPECT_TRUE(parsed.line.helpText.contains("--timer NAME=MS"));

  parsed = parse({"inspect", "-h"});
  ASSERT_TRUE(parsed.ok);
  EXPECT_TRUE(parsed.line.helpText.startsWith("Usage: cadence-host inspect"));

  parsed = parse({"--version"});
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.line.command, Command::version);
}

struct BadArguments {
  Words arguments;
  QString message;  // the whole one-line message
  QString hintMentions;
};

TEST(CommandLine, EachBadArgumentGivesOneLineNamingItAndAUsageHint) {
  const QString limit = QString::number(kMaxPeriodMs);
  const QString malformedTimer =
      "malformed --timer '%1': expected NAME=MS, MS a whole number of milliseconds from 1 to " + limit;
  const QString outOfRange = "bad --timer '%1': the period %2 ms is out of range (1 to " + limit + " ms)";
  const std::vector<BadArguments> cases = {
      {{"frobnicate"}, "unknown command 'frobnicate'", "cadence-host --help"},
      {{"run", "--bogus"}, "unknown option '--bogus'", "run --help"},
      {{"--bogus"}, "unknown option '--bogus'", "cadence-host --help"},
      {{"inspect", "--timer", "t=5"}, "unknown option '--timer'", "inspect --help"},
      {{"run", "--timer"}, "missing value after '--timer'", "run --help"},
      {{"run", "--for"}, "missing value after '--for'", "run --help"},
      {{"--module"}, "missing value after '--module'", "cadence-host --help"},
      {{"run", "--timer", "t"}, malformedTimer.arg("t"), "run --help"},
      {{"run", "--timer", "t="}, malformedTimer.arg("t="), "run --help"},
      {{"run", "--timer", "=100"}, "bad --timer '=100': the name is empty", "run --help"},
      {{"run", "--timer", "t=abc"}, malformedTimer.arg("t=abc"), "run --help"},
      {{"run", "--timer", "t=0"}, outOfRange.arg("t=0", "0"), "run --help"},
      {{"run", "--timer", "t=-5"}, outOfRange.arg("t=-5", "-5"), "run --help"},
      {{"run", "--timer", "t=--5"}, malformedTimer.arg("t=--5"), "run --help"},
      {{"run", "--timer", "t=+5"}, malformedTimer.arg("t=+5"), "run --help"},
      {{"run", "--timer", "t=1e3"}, malformedTimer.arg("t=1e3"), "run --help"},
      {{"run", "--timer", "t=86400001"}, outOfRange.arg("t=86400001", "86400001"), "run --help"},
      {{"run", "--timer", "t=99999999999"}, outOfRange.arg("t=99999999999", "99999999999"), "run --help"},
      {{"run", "--timer", "%1=0"}, outOfRange.arg("%1=0", "0"), "run --help"},
      {{"run", "--timer", "t=10", "--timer", "t=20"}, "duplicate --timer name 't'", "run --help"},
      {{"run", "--for", "soon"},
       "malformed --for 'soon': expected a number of seconds above 0, at most 86400",
       "run --help"},
      {{"run", "--for", "0"}, "malformed --for '0': expected a number of seconds above 0, at most 86400", "run --help"},
      {{"run", "--for", "nan"},
       "malformed --for 'nan': expected a number of seconds above 0, at most 86400",
       "run --help"},
      {{"run", "extra"}, "unexpected argument 'extra'", "run --help"},
      {{"run", "--", "--quiet"}, "unexpected argument '--quiet'", "run --help"},
      {{"run", "--quiet=yes"}, "unexpected value after '--quiet'", "run --help"},
      {{"run", "--module="}, "empty value for '--module'", "run --help"},
      {{"fro\nb"}, "unknown command 'fro\\nb'", "cadence-host --help"},
      {{"run", "--for", "soon\t"},
       "malformed --for 'soon\\t': expected a number of seconds above 0, at most 86400",
       "run --help"},
  };
  for (const BadArguments& bad : cases) {
    const ParsedCommandLine parsed = parse(bad.arguments);
    std::string context;
    for (const QString& word : bad.arguments) context += (context.empty() ? "" : " ") + word.toStdString();
    EXPECT_FALSE(parsed.ok) << context;
    EXPECT_EQ(parsed.error, bad.message) << context;
    EXPECT_FALSE(parsed.error.contains('\n')) << context;
    EXPECT_TRUE(parsed.usageHint.startsWith("Usage: cadence-host")) << context;
    EXPECT_TRUE(parsed.usageHint.contains(bad.hintMentions)) << context;
  }
}

TEST(CommandLine, PeriodsAreWholeMillisecondsInRangeWhateverTheirLeadingZeros) {
  const std::vector<std::pair<QString, int>> accepted = {
      {"t=1", 1}, {"t=86400000", kMaxPeriodMs}, {"t=0100", 100}, {"t=00000000000000000000250", 250}};
  for (const auto& [text, period] : accepted) {
    TimerRequest request;
    EXPECT_EQ(parseTimerRequest(text, &request), QString()) << text.toStdString();
    EXPECT_EQ(request.periodMs, period) << text.toStdString();
  }
  for (const QString text : {"t=0000", "t=-0", "t=86400001", "t=000086400001", "t=18446744073709551617"}) {
    TimerRequest request;
    const QString problem = parseTimerRequest(text, &request);
    EXPECT_TRUE(problem.endsWith("ms is out of range (1 to 86400000 ms)")) << problem.toStdString();
  }
}

// A timer name the way the program receives it: bytes decoded as UTF-8, those
// that are not UTF-8 as U+FFFD.
ParsedCommandLine parseRaw(const std::vector<std::string>& arguments) {
  QStringList decoded{QStringLiteral("cadence-host")};
  for (const std::string& argument : arguments) decoded << QString::fromUtf8(argument.c_str());
  return parseCommandLine(decoded);
}

TEST(CommandLine, TimerNamesThatWouldBreakTheOutputAreRefusedNamingTheProblem) {
  const std::string longName(131000, 'x');
  const std::vector<std::pair<std::string, QString>> cases = {
      // Empty once trimmed.
      {"   =5", "bad --timer '   =5': the name is empty"},
      {"\xE3\x80\x80=5", "bad --timer '\u3000=5': the name is empty"},  // an ideographic space
      // Control characters: C0, DEL and C1, anywhere in the name.
      {"a\tb=100", "bad --timer 'a\\tb=100': the name holds a control character (U+0009)"},
      {"a\nb=100", "bad --timer 'a\\nb=100': the name holds a control character (U+000A)"},
      {"\tlead=1", "bad --timer '\\tlead=1': the name holds a control character (U+0009)"},
      {"cr\r=1", "bad --timer 'cr\\r=1': the name holds a control character (U+000D)"},
      {"esc\x1B[31m=1", "bad --timer 'esc\\x1B[31m=1': the name holds a control character (U+001B)"},
      {"del\x7F=1", "bad --timer 'del\\x7F=1': the name holds a control character (U+007F)"},
      {"nel\xC2\x85=1", "bad --timer 'nel\\u0085=1': the name holds a control character (U+0085)"},
      // Not UTF-8: a Latin-1 byte, a stray continuation, an overlong form, a
      // surrogate, a sequence cut short.
      {"caf\xE9=5", "bad --timer 'caf\uFFFD=5': the name is not valid UTF-8 (it holds U+FFFD)"},
      {"\x80x=5", "bad --timer '\uFFFDx=5': the name is not valid UTF-8 (it holds U+FFFD)"},
      {"a\xC0\xAF=5", QString::fromUtf8("bad --timer 'a") + QString::fromUtf8("a\xC0\xAF").mid(1) +
                          "=5': the name is not valid UTF-8 (it holds U+FFFD)"},
      {"\xE6\x97=5", QString::fromUtf8("bad --timer '") + QString::fromUtf8("\xE6\x97") +
                         "=5': the name is not valid UTF-8 (it holds U+FFFD)"},
      // Too long: the message shows the start of the value only.
      {longName + "=100",
       "bad --timer '" + QString(kShownCharacters, 'x') + "...': the name is 131000 bytes of UTF-8, more than 256"},
      {std::string(257, 'y') + "=1",
       "bad --timer '" + QString(kShownCharacters, 'y') + "...': the name is 257 bytes of UTF-8, more than 256"},
  };
  for (const auto& [value, message] : cases) {
    const ParsedCommandLine parsed = parseRaw({"run", "--timer", value});
    EXPECT_FALSE(parsed.ok) << value;
    EXPECT_EQ(parsed.error, message) << value.substr(0, 80);
    EXPECT_FALSE(parsed.error.contains('\n'));
    EXPECT_FALSE(parsed.error.contains('\t'));
  }
}

TEST(CommandLine, TimerNamesAreTrimmedAndMayBeAnyPrintableTextUpTo256Bytes) {
  std::string e256;
  for (int i = 0; i < 128; ++i) e256 += "\xC3\xA9";  // 128 two-byte characters
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"  padded  =5", "padded"},
      {"Gr\xC3\xBC\xC3\x9F"
       "e=5",
       "Gr\xC3\xBC\xC3\x9F"
       "e"},
      {"\xE6\x97\xA5\xE6\x9C\xAC=5", "\xE6\x97\xA5\xE6\x9C\xAC"},
      {"\xF0\x9F\x98\x80=5", "\xF0\x9F\x98\x80"},  // outside the BMP
      {"\xF0\x90\x82\x80=5", "\xF0\x90\x82\x80"},  // U+10080: its low surrogate is DC80
      {"a b=c=5", "a b=c"},
      {std::string(256, 'z') + "=5", std::string(256, 'z')},
      {e256 + "=5", e256},
  };
  for (const auto& [value, name] : cases) {
    const ParsedCommandLine parsed = parseRaw({"run", "--timer", value});
    ASSERT_TRUE(parsed.ok) << value << ": " << parsed.error.toStdString();
    ASSERT_EQ(parsed.line.timers.size(), 1u);
    EXPECT_EQ(parsed.line.timers[0].name, name);
  }
  // Names are compared once trimmed.
  const ParsedCommandLine twice = parseRaw({"run", "--timer", "a=5", "--timer", " a =6"});
  EXPECT_FALSE(twice.ok);
  EXPECT_EQ(twice.error, "duplicate --timer name 'a'");
  std::string e257 = e256 + "\xC3\xA9";
  EXPECT_TRUE(
      parseRaw({"run", "--timer", e257 + "=5"}).error.endsWith("the name is 258 bytes of UTF-8, more than 256"));
}

TEST(RunWindow, CountsTheAlertsDueAtOrBeforeTheEndOfTheWindow) {
  EXPECT_EQ(dueAlerts(3000, 1000), 3);  // the third is due exactly at the end
  EXPECT_EQ(dueAlerts(3000, 250), 12);
  EXPECT_EQ(dueAlerts(2999, 1000), 2);
  EXPECT_EQ(dueAlerts(1000, 100), 10);
  EXPECT_EQ(dueAlerts(500, 1000), 0);
  EXPECT_EQ(dueAlerts(0, 5), 0);
  EXPECT_EQ(dueAlerts(86400000, 1), 86400000);
  // 5 % of the window, plus the loop's delay.
  EXPECT_EQ(graceMs(3000), 400);
  EXPECT_EQ(graceMs(0), 250);
  EXPECT_EQ(graceMs(86400000), 4320250);
}

TEST(AlertStats, CountsPassesAndMeasuresMeanPeriodAndWorstLateness) {
  AlertStats stats(100);
  EXPECT_EQ(stats.alerts(), 0);
  EXPECT_DOUBLE_EQ(stats.meanPeriodMs(), 0.0);
  EXPECT_EQ(stats.record(101'000'000), 1);  // 1 ms late
  EXPECT_EQ(stats.record(196'000'000), 2);  // 4 ms early
  EXPECT_EQ(stats.record(307'500'000), 3);  // 7.5 ms late
  EXPECT_EQ(stats.record(400'000'000), 4);
  EXPECT_EQ(stats.alerts(), 4);
  EXPECT_DOUBLE_EQ(stats.meanPeriodMs(), 100.0);
  EXPECT_DOUBLE_EQ(stats.worstLatenessMs(), 7.5);
}

TEST(AlertStats, EarlyAlertsAreNotLate) {
  AlertStats stats(50);
  stats.record(48'000'000);
  stats.record(99'000'000);
  EXPECT_DOUBLE_EQ(stats.worstLatenessMs(), 0.0);
  EXPECT_DOUBLE_EQ(stats.meanPeriodMs(), 49.5);
}

}  // namespace
}  // namespace cadence::host

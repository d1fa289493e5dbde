// The command line of cadence-host: commands, options, help and version, the
// demo's defaults, and the one-line message for every kind of bad argument;
// and the alert statistics printed in the run's summary.
#include <gtest/gtest.h>

#include <QStringList>

#include "host/alert_stats.h"
#include "host/command_line.h"

namespace cadence::host {
namespace {

ParsedCommandLine parse(QStringList arguments) {
  arguments.prepend(QStringLiteral("cadence-host"));
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
  QStringList arguments;
  QString message;  // the whole one-line message
  QString hintMentions;
};

TEST(CommandLine, EachBadArgumentGivesOneLineNamingItAndAUsageHint) {
  const QString limit = QString::number(kMaxPeriodMs);
  const QString malformedTimer =
      "malformed --timer '%1': expected NAME=MS, MS a whole number of milliseconds from 1 to " + limit;
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
      {{"run", "--timer", "=100"}, malformedTimer.arg("=100"), "run --help"},
      {{"run", "--timer", "t=abc"}, malformedTimer.arg("t=abc"), "run --help"},
      {{"run", "--timer", "t=0"}, malformedTimer.arg("t=0"), "run --help"},
      {{"run", "--timer", "t=-5"}, malformedTimer.arg("t=-5"), "run --help"},
      {{"run", "--timer", "t=+5"}, malformedTimer.arg("t=+5"), "run --help"},
      {{"run", "--timer", "t=1e3"}, malformedTimer.arg("t=1e3"), "run --help"},
      {{"run", "--timer", "t=86400001"}, malformedTimer.arg("t=86400001"), "run --help"},
      {{"run", "--timer", "t=99999999999"}, malformedTimer.arg("t=99999999999"), "run --help"},
      {{"run", "--timer", "t=10", "--timer", "t=20"}, "duplicate --timer name 't'", "run --help"},
      {{"run", "--for", "soon"},
       "malformed --for 'soon': expected a number of seconds above 0, at most 86400", "run --help"},
      {{"run", "--for", "0"}, "malformed --for '0': expected a number of seconds above 0, at most 86400",
       "run --help"},
      {{"run", "--for", "nan"}, "malformed --for 'nan': expected a number of seconds above 0, at most 86400",
       "run --help"},
      {{"run", "extra"}, "unexpected argument 'extra'", "run --help"},
      {{"run", "--module="}, "empty value for '--module'", "run --help"},
  };
  for (const BadArguments& bad : cases) {
    const ParsedCommandLine parsed = parse(bad.arguments);
    const std::string context = bad.arguments.join(' ').toStdString();
    EXPECT_FALSE(parsed.ok) << context;
    EXPECT_EQ(parsed.error, bad.message) << context;
    EXPECT_FALSE(parsed.error.contains('\n')) << context;
    EXPECT_TRUE(parsed.usageHint.startsWith("Usage: cadence-host")) << context;
    EXPECT_TRUE(parsed.usageHint.contains(bad.hintMentions)) << context;
  }
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

// cadence-host run as a program, the way a person or `make demo` runs it:
// what `inspect` prints, the alerts and summary of `run` and of the demo (the
// alerts due inside the window, lined up whatever the names' script), the
// host's count of live objects after a run, and the exit statuses for bad
// arguments (2: bad timer names and periods, configuration files that are not
// text) and modules that cannot be used (3).
#include <gtest/gtest.h>

#include <QFile>

#include <map>
#include <regex>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "qt/qt_versions.h"
#include "tests/support/program_run.h"
#include "tests/support/temporary_directory.h"

namespace {

using Outcome = cadence::test::ProgramOutcome;
using TemporaryDirectory = cadence::test::TemporaryDirectory;

// Patterns are std::regex (ECMAScript) on the UTF-8 text: Qt 4 has no
// QRegularExpression.
// Whether some line of `text` matches `pattern` whole.
bool hasLine(const QString& text, const std::string& pattern) {
  const std::regex whole(pattern);
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    if (std::regex_match(line.toStdString(), whole)) return true;
  }
  return false;
}

// `text` as a pattern that matches it literally.
std::string escaped(const QString& text) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return std::regex_replace(text.toStdString(), special, R"(\$&)");
}

Outcome runHost(const QStringList& arguments, int timeoutMs = 30000) {
  return cadence::test::runProgram(QStringLiteral(CADENCE_HOST_PATH), arguments, timeoutMs);
}

// The same through the shell, so that an argument can hold bytes that are
// not UTF-8 (QProcess passes text): `script` sees the host's path as $0 and
// the module's as $1.
#ifndef _WIN32
Outcome runHostInShell(const QString& script) {
  return cadence::test::runProgram(
      QStringLiteral("/bin/sh"),
      {QStringLiteral("-c"), script, QStringLiteral(CADENCE_HOST_PATH), QStringLiteral(MODULE_PATH)}, 30000);
}
#endif

// Alerts due in a window of `ms` for a period: the run counts no more.
int dueIn(int ms, int periodMs) { return ms / periodMs; }

// The module goes first, so a trailing option without its value stays last.
QStringList withModule(const QStringList& arguments) {
  return (QStringList() << QStringLiteral("--module") << QStringLiteral(MODULE_PATH)) + arguments;
}

// Summary rows: timer name -> alerts.
std::map<QString, int> summaryAlerts(const QString& out) {
  std::map<QString, int> alerts;
  const int summary = out.indexOf(QStringLiteral("Summary after"));
  if (summary < 0) return alerts;
  static const std::regex row(R"(^  (\S+)\s+(\d+) ms\s+(\d+)\s.*)");
  for (const QString& line : out.mid(summary).split(QLatin1Char('\n'))) {
    const std::string text = line.toStdString();
    std::smatch match;
    if (std::regex_match(text, match, row)) alerts[QString::fromUtf8(match[1].str().c_str())] = std::stoi(match[3]);
  }
  return alerts;
}

// Alert lines: "<ms> ms  <name>  pass <n>"; the pass numbers of `name`.
std::vector<int> passesOf(const QString& out, const QString& name) {
  std::vector<int> passes;
  const std::regex alert(R"(\s*\d+ ms  )" + escaped(name) + R"(\s+pass (\d+))");
  for (const QString& line : out.split(QLatin1Char('\n'))) {
    const std::string text = line.toStdString();
    std::smatch match;
    if (std::regex_match(text, match, alert)) passes.push_back(std::stoi(match[1]));
  }
  return passes;
}

std::string show(const Outcome& outcome) {
  return ("status " + QString::number(outcome.status) + "\n--- stdout\n" + outcome.out + "--- stderr\n" + outcome.err)
      .toStdString();
}

// --- inspect -----------------------------------------------------------------

TEST(CadenceHostInspect, PrintsTheModulesIdentityItsClassesAndTheNamesTheyAnswerTo) {
  const Outcome outcome = runHost(withModule({"inspect"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  const QString& out = outcome.out;
  EXPECT_TRUE(hasLine(out, R"(module\s+cadencehost_mod)")) << show(outcome);
  EXPECT_TRUE(hasLine(out, R"(build date\s+2011-10-27 13:41)"));
  EXPECT_TRUE(hasLine(out, R"(component id\s+\{E6BE9F43-F2E6-4917-930E-F724B2DE29F2\})"));
  EXPECT_TRUE(hasLine(out, R"(interface version\s+100)"));
  EXPECT_TRUE(hasLine(out, R"(binary version\s+1)"));
  EXPECT_TRUE(out.contains("b5 e2 61 dc 48 5e f4 e7 9f 8e 0a db 71 f7 45 90 (16 bytes)"));
  EXPECT_TRUE(hasLine(out, R"(classes\s+1)"));
  EXPECT_TRUE(out.contains("{A29D47F5-FC31-456F-8F72-10D767236FEF}  TimerService"));
  const std::regex names(
      "answers to:\\n"
      "\\s+TimerService\\s+class\\n"
      "\\s+ITimerService\\s+interface of TimerService\\n"
      "\\s+ITimerServiceV2\\s+interface of TimerService\\n"
      "\\s+IShutdownListener\\s+interface of TimerService\\n");
  EXPECT_TRUE(std::regex_search(out.toStdString(), names)) << show(outcome);
}

// --- run -----------------------------------------------------------------------

TEST(CadenceHostRun, AHundredMillisecondTimerAlertsTheTenTimesDueInASecond) {
  const Outcome outcome = runHost(withModule({"run", "--timer", "t=100", "--for", "1", "--verbose"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  const auto alerts = summaryAlerts(outcome.out);
  ASSERT_EQ(alerts.count("t"), 1u) << show(outcome);
  // Never more than are due; up to three fewer when a loaded machine (or a
  // sanitizer) delays the loop by more than a period and Qt skips an expiry.
  const int due = dueIn(1000, 100);
  EXPECT_LE(alerts.at("t"), due) << show(outcome);
  EXPECT_GE(alerts.at("t"), due - 3) << show(outcome);
  // One line per alert, passes numbered from 1 without gaps.
  const std::vector<int> passes = passesOf(outcome.out, "t");
  ASSERT_EQ(static_cast<int>(passes.size()), alerts.at("t")) << show(outcome);
  for (size_t i = 0; i < passes.size(); ++i) EXPECT_EQ(passes[i], static_cast<int>(i) + 1);
}

TEST(CadenceHostRun, QuietPrintsTheSummaryOnlyAndTheRunDestroysEveryTimerAndListener) {
  const Outcome outcome = runHost(withModule(
      {"run", "--timer", "a=30", "--timer", "b=45", "--timer", "c=70", "--for", "0.4", "--quiet", "--verbose"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  EXPECT_TRUE(outcome.err.contains("live objects after run: timers 0, listeners 0")) << show(outcome);
  EXPECT_FALSE(outcome.err.contains("still alive"));
  const auto alerts = summaryAlerts(outcome.out);
  for (const auto& [name, period] : std::map<QString, int>{{"a", 30}, {"b", 45}, {"c", 70}}) {
    EXPECT_TRUE(passesOf(outcome.out, name).empty()) << show(outcome);
    ASSERT_EQ(alerts.count(name), 1u) << show(outcome);
    EXPECT_GE(alerts.at(name), 2);
    EXPECT_LE(alerts.at(name), dueIn(400, period));
  }
  EXPECT_TRUE(outcome.out.contains("worst lateness"));
}

TEST(CadenceHostRun, WithoutArgumentsTheDemoShowsEveryAlertDueInThreeSeconds) {
  const Outcome outcome = runHost(withModule({}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  EXPECT_TRUE(outcome.out.contains("\nSummary after 3.00 s:\n")) << show(outcome);
  // The same counts on every run: the third alert of the 1000 ms timer is due
  // at the end of the window and is waited for; none due later is shown.
  const auto alerts = summaryAlerts(outcome.out);
  const std::map<QString, int> due = {{"fast", 12}, {"steady", 6}, {"slow", 3}};
  EXPECT_EQ(alerts, due) << show(outcome);
  for (const auto& [name, count] : due) {
    EXPECT_EQ(static_cast<int>(passesOf(outcome.out, name).size()), count) << show(outcome);
  }
}

TEST(CadenceHostRun, ColumnsLineUpByCharacters) {
  // "Gr\u00fc\u00dfe" is 5 characters in 7 bytes, two ideographs 2 in 6; the
  // name column is as wide as the widest, 5 (and "timer").
  const QString latin = QString::fromUtf8(
                    "Gr\xC3\xBC\xC3\x9F"
                    "e"),
                cjk = QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC");
  const Outcome outcome = runHost(
      withModule({"run", "--timer", latin + "=100", "--timer", cjk + "=100", "--timer", "x=100", "--for", "0.25"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  for (const QString& padded : {latin + "  pass 1", cjk + "     pass 1", QString("x      pass 1")}) {
    EXPECT_TRUE(hasLine(outcome.out, R"( +\d+ ms  )" + escaped(padded))) << padded.toStdString() << "\n"
                                                                         << show(outcome);
  }
  for (const QString& row : {"  " + latin + "     100 ms       2", "  " + cjk + "        100 ms       2",
                             QString("  x         100 ms       2"), QString("  timer     period  alerts")}) {
    EXPECT_TRUE(outcome.out.contains(row)) << row.toStdString() << "\n" << show(outcome);
  }
}

// --- bad arguments: status 2 -------------------------------------------------

// Status 2, and on standard error one short line naming the problem, then
// the usage hint; nothing on standard output.
void expectRefused(const Outcome& outcome, const QString& message) {
  EXPECT_EQ(outcome.status, 2) << show(outcome);
  const QStringList lines = outcome.err.trimmed().split('\n');
  ASSERT_EQ(lines.size(), 2) << show(outcome).substr(0, 2000);
  EXPECT_EQ(lines[0].toStdString(), ("cadence-host: " + message).toStdString());
  EXPECT_LT(lines[0].size(), 200);
  EXPECT_TRUE(lines[1].startsWith("Usage: cadence-host")) << show(outcome);
  EXPECT_TRUE(outcome.out.isEmpty()) << show(outcome).substr(0, 2000);
}

// Each rule on arguments is the parser's (its own test); here, that the
// program refuses with its message and status 2, the arguments as the system
// hands them over.
TEST(CadenceHostArguments, BadArgumentsEndWithStatusTwoAndTheParsersMessage) {
  expectRefused(runHost(withModule({"frobnicate"})), "unknown command 'frobnicate'");
  expectRefused(runHost(withModule({"run", "--timer", "t=0"})),
                "bad --timer 't=0': the period 0 ms is out of range (1 to 86400000 ms)");
  expectRefused(runHost(withModule({"run", "--timer", "a\tb=100", "--for", "0.2"})),
                "bad --timer 'a\\tb=100': the name holds a control character (U+0009)");
#ifdef _WIN32
  // The command line is UTF-16 there: what does not decode is an unpaired surrogate.
  expectRefused(runHost(withModule({"run", "--timer", QString("caf") + QChar(0xD800) + "=100", "--for", "0.2"})),
                "bad --timer 'caf\\uD800=100': the name is not valid UTF-8 (an unpaired surrogate)");
#else
  // Bytes that are not UTF-8, as a shell passes them.
  expectRefused(runHostInShell(R"sh(exec "$0" run --module "$1" --timer "$(printf 'caf\351=100')" --for 0.2)sh"),
                "bad --timer 'caf\uFFFD=100': the name is not valid UTF-8 (it holds U+FFFD)");
#endif
}

// Each rule on the file is the reader's (its own test); here, that both
// commands that read it refuse with its reason and status 2.
TEST(CadenceHostArguments, AConfigFileMissingOrNotTextEndsWithStatusTwoAndTheReason) {
  TemporaryDirectory dir;
  ASSERT_TRUE(dir.isValid());
  auto fileWith = [&](const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  };
  expectRefused(runHost(withModule({"run", "--config", "/no/such/host.ini"})),
                "cannot use --config '/no/such/host.ini': no such file");
  const QString latin1 = fileWith("latin1.ini", "[Directories]\nTemp Directory=/srv/t\xE9mp\n");
  const QString shown = latin1.size() > 60 ? latin1.left(60) + "..." : latin1;  // cut after 60 characters
  expectRefused(runHost(withModule({"inspect", "--config", latin1})),
                "cannot use --config '" + shown + "': not UTF-8 text (byte 0xE9 at offset 35)");
  // An empty file is a configuration without keys.
  const Outcome empty = runHost(withModule(
      {"run", "--config", fileWith("empty.ini", QByteArray()), "--timer", "t=50", "--for", "0.1", "--quiet"}));
  EXPECT_EQ(empty.status, 0) << show(empty);
}

TEST(CadenceHostArguments, HelpAndVersionSucceedWithoutTheModule) {
  for (const QStringList& arguments : {(QStringList() << "--help"),
                                       (QStringList() << "run"
                                                      << "--help"),
                                       (QStringList() << "inspect"
                                                      << "--help"),
                                       (QStringList() << "--version")}) {
    const Outcome outcome = runHost(arguments + (QStringList() << "--module"
                                                               << "/no/such/module.so"));
    EXPECT_EQ(outcome.status, 0) << show(outcome);
    EXPECT_TRUE(outcome.out.startsWith("Usage: cadence-host") || outcome.out.startsWith("cadence-host "))
        << show(outcome);
  }
}

// --- modules that cannot be used: status 3 ----------------------------------

// Status 3 and one line on standard error starting with `reason` and naming
// `shows` when given.
Outcome expectUnusable(const QStringList& arguments, const QString& reason, const QString& shows = QString()) {
  const Outcome outcome = runHost(arguments);
  EXPECT_EQ(outcome.status, 3) << show(outcome);
  EXPECT_TRUE(outcome.err.startsWith("cadence-host: " + reason)) << show(outcome);
  EXPECT_TRUE(outcome.err.contains(shows)) << show(outcome);
  EXPECT_EQ(outcome.err.count('\n'), 1) << show(outcome);
  return outcome;
}

TEST(CadenceHostModule, AModuleThatCannotBeUsedEndsWithStatusThreeAndTheReason) {
  // The loader names the path, made absolute (on Windows with a drive letter).
  expectUnusable({"inspect", "--module", "/no/such/dir/cadencehost_mod.so"},
                 "cannot load module: ", "/no/such/dir/cadencehost_mod.so");
  TemporaryDirectory dir;
  const QString text = dir.filePath("not_a_library.so");
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("plain text\n");
  file.close();
  expectUnusable({"run", "--module", text, "--for", "0.1"}, "cannot load module: ");
#ifndef _WIN32
  // A device or a FIFO is never handed to the loader: it would read without
  // end or wait for ever.
  const QString fifo = dir.filePath("module.so");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  for (const QString& path : {QStringLiteral("/dev/zero"), fifo}) {
    expectUnusable({"inspect", "--module", path}, "cannot load module: " + path + ": not a regular file\n");
  }
#endif
  expectUnusable({"inspect", "--module", NO_ENTRY_MODULE_PATH}, "module has no EntryPoint: ", "EntryPoint");
  expectUnusable({"inspect", "--module", FAILING_ENTRY_MODULE_PATH},
                 "EntryPoint failed: it returned 0 and no component");
  // A module of another Qt major is refused before it is opened.
  const Outcome otherQt = expectUnusable({"inspect", "--module", OTHER_QT_MODULE_PATH}, "cannot use module ",
                                         QStringLiteral("is built against Qt %1 (").arg(OTHER_QT_MAJOR));
  EXPECT_TRUE(otherQt.err.contains(QStringLiteral("this host against Qt %1;").arg(QT_VERSION_MAJOR)));
  EXPECT_FALSE(otherQt.err.contains("other-qt module loaded"));
}

}  // namespace

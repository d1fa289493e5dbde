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

TEST(CadenceHostInspect, PrintsTheModulesIdentityAndItsClasses) {
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
}

TEST(CadenceHostInspect, ListsTheNamesTheTimerServiceAnswersToInOrder) {
  const Outcome outcome = runHost(withModule({"inspect"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  const std::regex names(
      "answers to:\\n"
      "\\s+TimerService\\s+class\\n"
      "\\s+ITimerService\\s+interface of TimerService\\n"
      "\\s+ITimerServiceV2\\s+interface of TimerService\\n"
      "\\s+IShutdownListener\\s+interface of TimerService\\n");
  EXPECT_TRUE(std::regex_search(outcome.out.toStdString(), names)) << show(outcome);
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

TEST(CadenceHostRun, DestroysEveryTimerAndListenerItCreated) {
  const Outcome outcome = runHost(withModule(
      {"run", "--timer", "a=30", "--timer", "b=45", "--timer", "c=70", "--for", "0.4", "--quiet", "--verbose"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  EXPECT_TRUE(outcome.err.contains("live objects after run: timers 0, listeners 0")) << show(outcome);
  EXPECT_FALSE(outcome.err.contains("still alive"));
}

TEST(CadenceHostRun, QuietPrintsTheSummaryOnly) {
  const Outcome outcome = runHost(withModule({"run", "--timer", "q=50", "--for", "0.3", "--quiet"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  EXPECT_TRUE(passesOf(outcome.out, "q").empty()) << show(outcome);
  const auto alerts = summaryAlerts(outcome.out);
  ASSERT_EQ(alerts.count("q"), 1u) << show(outcome);
  EXPECT_GE(alerts.at("q"), 2);
  EXPECT_LE(alerts.at("q"), dueIn(300, 50));
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
  const QString library = QStringLiteral(NO_ENTRY_MODULE_PATH);  // a small shared library
  QFile libraryFile(library);
  ASSERT_TRUE(libraryFile.open(QIODevice::ReadOnly));
  const auto firstNul = libraryFile.readAll().indexOf('\0');
  // Paths are shown cut after 60 characters.
  auto shown = [](const QString& path) { return path.size() > 60 ? path.left(60) + "..." : path; };
  const QString latin1 = fileWith("latin1.ini", "[Directories]\nTemp Directory=/srv/t\xE9mp\n");
  const QString large = fileWith("large.ini", QByteArray(2 << 20, '#'));
  const std::vector<std::pair<QString, QString>> cases = {
      {"/no/such/host.ini", "cannot use --config '/no/such/host.ini': no such file"},
      {library, "cannot use --config '" + shown(library) + "': not a text file (a NUL byte at offset " +
                    QString::number(firstNul) + ")"},
      {latin1, "cannot use --config '" + shown(latin1) + "': not UTF-8 text (byte 0xE9 at offset 35)"},
      {large, "cannot use --config '" + shown(large) +
                  "': too large for a configuration file (2097152 bytes, at most 1048576)"},
  };
  for (const auto& [path, message] : cases) {
    for (const char* command : {"run", "inspect"}) {
      expectRefused(runHost(withModule({command, "--config", path})), message);
    }
  }
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

TEST(CadenceHostModule, AMissingModuleGivesTheLoadersReasonAndStatusThree) {
  const Outcome outcome = runHost({"inspect", "--module", "/no/such/dir/cadencehost_mod.so"});
  EXPECT_EQ(outcome.status, 3) << show(outcome);
  // The loader names the path, made absolute (on Windows with a drive letter).
  EXPECT_TRUE(outcome.err.startsWith("cadence-host: cannot load module: ")) << show(outcome);
  EXPECT_TRUE(outcome.err.contains("/no/such/dir/cadencehost_mod.so")) << show(outcome);
  EXPECT_EQ(outcome.err.count('\n'), 1) << show(outcome);
}

TEST(CadenceHostModule, AFileThatIsNotALibraryGivesStatusThree) {
  TemporaryDirectory dir;
  const QString path = dir.filePath("not_a_library.so");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("plain text\n");
  file.close();
  const Outcome outcome = runHost({"run", "--module", path, "--for", "0.1"});
  EXPECT_EQ(outcome.status, 3) << show(outcome);
  EXPECT_TRUE(outcome.err.startsWith("cadence-host: cannot load module: ")) << show(outcome);
}

#ifndef _WIN32
// A device or a FIFO is never handed to the loader: it would read without
// end or wait for ever.
TEST(CadenceHostModule, AModuleThatIsNotARegularFileIsRefusedAtOnce) {
  TemporaryDirectory dir;
  const QString fifo = dir.filePath("module.so");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  for (const QString& path : {QStringLiteral("/dev/zero"), fifo}) {
    const Outcome outcome = runHost({"inspect", "--module", path});
    EXPECT_EQ(outcome.status, 3) << show(outcome);
    EXPECT_EQ(outcome.err, "cadence-host: cannot load module: " + path + ": not a regular file\n") << show(outcome);
  }
}
#endif

TEST(CadenceHostModule, ALibraryWithoutEntryPointGivesStatusThree) {
  const Outcome outcome = runHost({"inspect", "--module", NO_ENTRY_MODULE_PATH});
  EXPECT_EQ(outcome.status, 3) << show(outcome);
  EXPECT_TRUE(outcome.err.startsWith("cadence-host: module has no EntryPoint: ")) << show(outcome);
  EXPECT_TRUE(outcome.err.contains("EntryPoint")) << show(outcome);
}

TEST(CadenceHostModule, AFailingEntryPointGivesStatusThree) {
  const Outcome outcome = runHost({"inspect", "--module", FAILING_ENTRY_MODULE_PATH});
  EXPECT_EQ(outcome.status, 3) << show(outcome);
  EXPECT_TRUE(outcome.err.startsWith("cadence-host: EntryPoint failed: it returned 0 and no component"))
      << show(outcome);
}

}  // namespace

TEST(CadenceHostModule, AModuleBuiltAgainstAnotherQtMajorIsRefusedUnopened) {
  const Outcome outcome = runHost({"inspect", "--module", OTHER_QT_MODULE_PATH});
  EXPECT_EQ(outcome.status, 3) << show(outcome);
  const QString expected = QStringLiteral("is built against Qt %1 (").arg(OTHER_QT_MAJOR);
  EXPECT_TRUE(outcome.err.startsWith("cadence-host: cannot use module ")) << show(outcome);
  EXPECT_TRUE(outcome.err.contains(expected)) << show(outcome);
  EXPECT_TRUE(outcome.err.contains(QStringLiteral("this host against Qt %1;").arg(QT_VERSION_MAJOR))) << show(outcome);
  EXPECT_FALSE(outcome.err.contains("other-qt module loaded")) << show(outcome);
  EXPECT_EQ(outcome.err.count('\n'), 1) << show(outcome);
}

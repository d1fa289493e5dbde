// cadence-host run as a program, the way a person or `make demo` runs it:
// what `inspect` prints, the alerts and summary of `run` and of the demo, the
// host's count of live objects after a run, and the exit statuses for bad
// arguments (2) and modules that cannot be used (3).
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <map>

namespace {

struct Outcome {
  int status = -1;
  QString out;
  QString err;
};

Outcome runHost(const QStringList& arguments, int timeoutMs = 30000) {
  QProcess process;
  process.start(QStringLiteral(CADENCE_HOST_PATH), arguments);
  Outcome outcome;
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    outcome.err = QStringLiteral("timed out");
    return outcome;
  }
  outcome.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  // A Windows program's standard streams end lines with CR LF.
  outcome.out = QString::fromUtf8(process.readAllStandardOutput()).remove(QLatin1Char('\r'));
  outcome.err = QString::fromUtf8(process.readAllStandardError()).remove(QLatin1Char('\r'));
  return outcome;
}

// The module goes first, so a trailing option without its value stays last.
QStringList withModule(const QStringList& arguments) {
  return QStringList{QStringLiteral("--module"), QStringLiteral(MODULE_PATH)} + arguments;
}

// Summary rows: timer name -> alerts.
std::map<QString, int> summaryAlerts(const QString& out) {
  std::map<QString, int> alerts;
  const int summary = out.indexOf(QStringLiteral("Summary after"));
  if (summary < 0) return alerts;
  static const QRegularExpression row(QStringLiteral(R"(^  (\S+)\s+(\d+) ms\s+(\d+)\s)"),
                                      QRegularExpression::MultilineOption);
  auto it = row.globalMatch(out.mid(summary));
  while (it.hasNext()) {
    const auto match = it.next();
    alerts[match.captured(1)] = match.captured(3).toInt();
  }
  return alerts;
}

// Alert lines: "<ms> ms  <name>  pass <n>"; the pass numbers of `name`.
std::vector<int> passesOf(const QString& out, const QString& name) {
  std::vector<int> passes;
  const QRegularExpression line(QStringLiteral(R"(^\s*\d+ ms  %1\s+pass (\d+)$)").arg(QRegularExpression::escape(name)),
                                QRegularExpression::MultilineOption);
  auto it = line.globalMatch(out);
  while (it.hasNext()) passes.push_back(it.next().captured(1).toInt());
  return passes;
}

std::string show(const Outcome& outcome) {
  return ("status " + QString::number(outcome.status) + "\n--- stdout\n" + outcome.out + "--- stderr\n" +
          outcome.err)
      .toStdString();
}

// --- inspect -----------------------------------------------------------------

TEST(CadenceHostInspect, PrintsTheModulesIdentityAndItsClasses) {
  const Outcome outcome = runHost(withModule({"inspect"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  const QString& out = outcome.out;
  EXPECT_TRUE(out.contains(QRegularExpression("^module\\s+cadencehost_mod$", QRegularExpression::MultilineOption)))
      << show(outcome);
  EXPECT_TRUE(out.contains(QRegularExpression("^build date\\s+2011-10-27 13:41$", QRegularExpression::MultilineOption)));
  EXPECT_TRUE(out.contains(QRegularExpression("^component id\\s+\\{E6BE9F43-F2E6-4917-930E-F724B2DE29F2\\}$",
                                              QRegularExpression::MultilineOption)));
  EXPECT_TRUE(out.contains(QRegularExpression("^interface version\\s+100$", QRegularExpression::MultilineOption)));
  EXPECT_TRUE(out.contains(QRegularExpression("^binary version\\s+1$", QRegularExpression::MultilineOption)));
  EXPECT_TRUE(out.contains("b5 e2 61 dc 48 5e f4 e7 9f 8e 0a db 71 f7 45 90 (16 bytes)"));
  EXPECT_TRUE(out.contains(QRegularExpression("^classes\\s+1$", QRegularExpression::MultilineOption)));
  EXPECT_TRUE(out.contains("{A29D47F5-FC31-456F-8F72-10D767236FEF}  TimerService"));
}

TEST(CadenceHostInspect, ListsTheNamesTheTimerServiceAnswersToInOrder) {
  const Outcome outcome = runHost(withModule({"inspect"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  const QRegularExpression names(
      "answers to:\\n"
      "\\s+TimerService\\s+class\\n"
      "\\s+ITimerService\\s+interface of TimerService\\n"
      "\\s+ITimerServiceV2\\s+interface of TimerService\\n"
      "\\s+IShutdownListener\\s+interface of TimerService\\n");
  EXPECT_TRUE(outcome.out.contains(names)) << show(outcome);
}

// --- run -----------------------------------------------------------------------

TEST(CadenceHostRun, AHundredMillisecondTimerAlertsAboutTenTimesInASecond) {
  const Outcome outcome = runHost(withModule({"run", "--timer", "t=100", "--for", "1", "--verbose"}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  const auto alerts = summaryAlerts(outcome.out);
  ASSERT_EQ(alerts.count("t"), 1u) << show(outcome);
  EXPECT_GE(alerts.at("t"), 7) << show(outcome);
  EXPECT_LE(alerts.at("t"), 12) << show(outcome);
  // One line per alert, passes numbered from 1 without gaps.
  const std::vector<int> passes = passesOf(outcome.out, "t");
  ASSERT_EQ(static_cast<int>(passes.size()), alerts.at("t")) << show(outcome);
  for (size_t i = 0; i < passes.size(); ++i) EXPECT_EQ(passes[i], static_cast<int>(i) + 1);
}

TEST(CadenceHostRun, DestroysEveryTimerAndListenerItCreated) {
  const Outcome outcome =
      runHost(withModule({"run", "--timer", "a=30", "--timer", "b=45", "--timer", "c=70", "--for", "0.4",
                          "--quiet", "--verbose"}));
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
  EXPECT_TRUE(outcome.out.contains("worst lateness"));
}

TEST(CadenceHostRun, WithoutArgumentsRunsTheThreeTimerDemoForThreeSeconds) {
  const Outcome outcome = runHost(withModule({}));
  ASSERT_EQ(outcome.status, 0) << show(outcome);
  EXPECT_TRUE(outcome.out.contains("Summary after 3.")) << show(outcome);
  const auto alerts = summaryAlerts(outcome.out);
  ASSERT_EQ(alerts.size(), 3u) << show(outcome);
  for (const auto& [name, count] : alerts) EXPECT_GT(count, 0) << name.toStdString();
}

// --- bad arguments: status 2 -------------------------------------------------

TEST(CadenceHostArguments, EachBadArgumentEndsWithStatusTwoAndItsMessage) {
  const std::vector<std::pair<QStringList, QString>> cases = {
      {{"frobnicate"}, "cadence-host: unknown command 'frobnicate'"},
      {{"run", "--bogus"}, "cadence-host: unknown option '--bogus'"},
      {{"run", "--timer", "t"}, "cadence-host: malformed --timer 't'"},
      {{"run", "--timer", "t=fast"}, "cadence-host: malformed --timer 't=fast'"},
      {{"run", "--timer"}, "cadence-host: missing value after '--timer'"},
      {{"run", "--for"}, "cadence-host: missing value after '--for'"},
      {{"run", "--config", "/no/such/host.ini"}, "cadence-host: cannot use --config '/no/such/host.ini'"},
  };
  for (const auto& [arguments, message] : cases) {
    const Outcome outcome = runHost(withModule(arguments));
    EXPECT_EQ(outcome.status, 2) << show(outcome);
    const QStringList lines = outcome.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << show(outcome);
    EXPECT_TRUE(lines[0].startsWith(message)) << show(outcome);
    EXPECT_TRUE(lines[1].startsWith("Usage: cadence-host")) << show(outcome);
    EXPECT_TRUE(outcome.out.isEmpty()) << show(outcome);
  }
}

TEST(CadenceHostArguments, HelpAndVersionSucceedWithoutTheModule) {
  for (const QStringList& arguments : {QStringList{"--help"}, QStringList{"run", "--help"},
                                       QStringList{"inspect", "--help"}, QStringList{"--version"}}) {
    const Outcome outcome = runHost(arguments + QStringList{"--module", "/no/such/module.so"});
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
  QTemporaryDir dir;
  const QString path = dir.filePath("not_a_library.so");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("plain text\n");
  file.close();
  const Outcome outcome = runHost({"run", "--module", path, "--for", "0.1"});
  EXPECT_EQ(outcome.status, 3) << show(outcome);
  EXPECT_TRUE(outcome.err.startsWith("cadence-host: cannot load module: ")) << show(outcome);
}

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

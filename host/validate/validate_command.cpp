// `cadence-host validate`: every check in a child run of this program, which
// prints a verdict line the parent reads back (or how the child ended when
// there is none); in a child, the one check it names.
#include "validate/checks.h"

#include <chrono>
#include <cstring>
#include <thread>

#include <QByteArray>
#include <QCoreApplication>
#include <QFileInfo>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include "commands.h"

namespace cadence::host::validate {
namespace {

const char kVerdictPrefix[] = "cadence-host-verdict: ";
// Each broken rule of a failed verdict, on a line of its own before it.
const char kProblemPrefix[] = "cadence-host-problem: ";
constexpr int kStartAttempts = 5;  // wine now and then refuses a start under load
constexpr size_t kShownOutputBytes = 200;
constexpr int kCheckTimeLimitMs = 60000;
// The hidden arguments of a child run.
constexpr const char* kRunCheckOption = "--run-check";
constexpr const char* kWithoutInstancesOption = "--without-instances";

struct CheckOutcome {
  std::string check;
  Verdict verdict;
};

constexpr int kCheckColumn = 16;

int failures(const std::vector<CheckOutcome>& outcomes) {
  int failed = 0;
  for (const CheckOutcome& outcome : outcomes) failed += outcome.verdict.passed ? 0 : 1;
  return failed;
}

// A table of check, result and reason, each further broken rule on a line of
// its own under it.
void printTable(const std::string& modulePath, const std::vector<CheckOutcome>& outcomes, std::FILE* out) {
  std::fprintf(out, "module %s\n\n", modulePath.c_str());
  std::fprintf(out, "%-*s %-6s %s\n", kCheckColumn, "check", "result", "reason");
  int broken = 0;
  for (const CheckOutcome& outcome : outcomes) {
    const std::vector<std::string> rules = outcome.verdict.brokenRules();
    broken += static_cast<int>(rules.size());
    std::fprintf(out, "%-*s %-6s %s\n", kCheckColumn, outcome.check.c_str(), outcome.verdict.passed ? "pass" : "FAIL",
                 rules.empty() ? outcome.verdict.reason.c_str() : rules.front().c_str());
    // Each further broken rule on a line of its own, under the reason.
    for (size_t i = 1; i < rules.size(); ++i) std::fprintf(out, "%*s%s\n", kCheckColumn + 8, "", rules[i].c_str());
  }
  const int failed = failures(outcomes);
  if (failed == 0) {
    std::fprintf(out, "\n%d checks, all passed\n", static_cast<int>(outcomes.size()));
  } else {
    std::fprintf(out, "\n%d of %d checks failed, %d broken %s\n", failed, static_cast<int>(outcomes.size()), broken,
                 broken == 1 ? "rule" : "rules");
  }
  std::fflush(out);
}

// {"module": "...", "passed": false, "checks": [{"check": "exports",
// "result": "fail", "reason": "<the first broken rule>", "problems":
// ["<every broken rule>", ...]}, ...]}; a check that passed has "problems": [].
void printJson(const std::string& modulePath, const std::vector<CheckOutcome>& outcomes, std::FILE* out) {
  std::fprintf(out, "{\"module\": %s, \"passed\": %s, \"checks\": [", jsonString(modulePath).c_str(),
               failures(outcomes) == 0 ? "true" : "false");
  for (size_t i = 0; i < outcomes.size(); ++i) {
    const Verdict& verdict = outcomes[i].verdict;
    std::string problems;
    for (const std::string& rule : verdict.brokenRules()) problems += (problems.empty() ? "" : ", ") + jsonString(rule);
    std::fprintf(out, "%s\n  {\"check\": %s, \"result\": \"%s\", \"reason\": %s, \"problems\": [%s]}", i ? "," : "",
                 jsonString(outcomes[i].check).c_str(), verdict.passed ? "pass" : "fail",
                 jsonString(verdict.reason).c_str(), problems.c_str());
  }
  std::fprintf(out, "\n]}\n");
  std::fflush(out);
}

// Text from a child (and, through it, from the module) fit for one line of
// UTF-8: control characters become '?', bytes that are not UTF-8 U+FFFD.
std::string oneLine(const QByteArray& bytes) {
  QByteArray text = QString::fromUtf8(bytes.constData(), bytes.size()).toUtf8();
  for (int i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) text[i] = '?';
  }
  return std::string(text.constData(), static_cast<size_t>(text.size()));
}

// What a child's standard error says last: a sanitizer's summary line when
// there is one (the end of its report is a stack), else the last non-empty
// line; shortened.
std::string lastErrorLine(const QByteArray& errors) {
  const QList<QByteArray> lines = errors.split('\n');
  QByteArray chosen;
  for (int i = lines.size() - 1; i >= 0; --i) {
    const QByteArray line = lines[i].trimmed();
    if (line.startsWith("SUMMARY:")) {
      chosen = line;
      break;
    }
    if (chosen.isEmpty()) chosen = line;
  }
  if (chosen.size() > static_cast<int>(kShownOutputBytes)) chosen = chosen.left(kShownOutputBytes) + "...";
  return oneLine(chosen);
}

// The text after `prefix` on the line it starts at `at`.
QByteArray lineAfter(const QByteArray& output, int at, const char* prefix) {
  QByteArray line = output.mid(at + static_cast<int>(std::strlen(prefix)));
  const int end = line.indexOf('\n');
  if (end >= 0) line.truncate(end);
  return line.trimmed();
}

// The verdict line in the child's standard output, if any, with the
// problem lines printed before it.
bool readVerdict(const QByteArray& output, Verdict* verdict) {
  const int at = output.lastIndexOf(kVerdictPrefix);
  if (at < 0) return false;
  const QByteArray line = lineAfter(output, at, kVerdictPrefix);
  const bool passed = line.startsWith("pass");
  if (!passed && !line.startsWith("fail")) return false;
  verdict->passed = passed;
  verdict->reason = oneLine(line.mid(4).trimmed());
  verdict->problems.clear();
  for (int from = output.indexOf(kProblemPrefix); from >= 0 && from < at;
       from = output.indexOf(kProblemPrefix, from + 1)) {
    if (from == 0 || output[from - 1] == '\n')
      verdict->problems.push_back(oneLine(lineAfter(output, from, kProblemPrefix)));
  }
  if (passed) verdict->problems.clear();
  return true;
}

std::string withDetail(const std::string& what, const QByteArray& errors) {
  const std::string detail = lastErrorLine(errors);
  return detail.empty() ? what : what + ": " + detail;
}

// The verdict of `check` on `subject` from a child run of `program`, this
// program's own file: a new run, not a fork, so it works the same on Windows
// and under wine. A child that crashes, hangs or ends without a verdict fails.
Verdict runCheckInChild(const QString& program, const Check& check, const CheckSubject& subject) {
  QStringList arguments;
  arguments << QString::fromLatin1("validate") << QString::fromLatin1("--module") << subject.modulePath
            << QString::fromLatin1(kRunCheckOption) << QString::fromLatin1(check.name);
  if (!subject.withInstances) arguments << QString::fromLatin1(kWithoutInstancesOption);

  QProcess child;
  for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    child.start(program, arguments);
    if (child.waitForStarted()) break;
  }
  if (child.state() == QProcess::NotRunning && child.error() == QProcess::FailedToStart) {
    return Verdict{false,
                   "could not start the check's process: " + std::string(child.errorString().toUtf8().constData())};
  }
  if (!child.waitForFinished(kCheckTimeLimitMs)) {
    child.kill();
    child.waitForFinished();
    return Verdict{false, "did not finish within " + std::to_string(kCheckTimeLimitMs / 1000) + " s"};
  }
  const QByteArray output = child.readAllStandardOutput();
  const QByteArray errors = child.readAllStandardError();
  Verdict verdict;
  const bool crashed = child.exitStatus() == QProcess::CrashExit;
  const std::string ending = crashed ? std::string("the process crashed")
                                     : "the process ended with status " + std::to_string(child.exitCode());
  if (!readVerdict(output, &verdict)) return Verdict{false, withDetail(ending + " before its verdict", errors)};
  if (crashed || child.exitCode() != 0) {
    // The check itself went through; the module's teardown at exit did not.
    std::vector<std::string> problems = verdict.brokenRules();
    problems.push_back(withDetail("the check went through, then " + ending + " at exit", errors));
    return Verdict{false, problems.front(), problems};
  }
  return verdict;
}

// In the child: runs `check` and prints its verdict line.
int runCheckHere(const Check& check, const CheckSubject& subject, std::FILE* out) {
  const Verdict verdict = check.run(subject);
  std::fputc('\n', out);
  for (const std::string& problem : verdict.brokenRules()) std::fprintf(out, "%s%s\n", kProblemPrefix, problem.c_str());
  std::fprintf(out, "%s%s %s\n", kVerdictPrefix, verdict.passed ? "pass" : "fail", verdict.reason.c_str());
  std::fflush(out);
  return 0;
}

}  // namespace

int runValidateCommand(const CommandLine& line, std::FILE* out, std::FILE* err) {
  QString reason;
  const QString modulePath = findModule(line.modulePath, &reason);
  if (!modulePath.isEmpty() && !QFileInfo(modulePath).isFile()) {
    reason = QString::fromLatin1("cannot find module '%1': no such file").arg(printableArgument(line.modulePath));
  }
  if (!reason.isEmpty()) {
    std::fprintf(err, "cadence-host: %s\n", reason.toUtf8().constData());
    return kExitModule;
  }
  CheckSubject subject{modulePath, !line.withoutInstances};

  if (!line.runCheck.isEmpty()) {
    const Check* check = findCheck(line.runCheck.toUtf8().constData());
    if (check) return runCheckHere(*check, subject, out);
    std::fprintf(err,
                 "cadence-host: no check named '%s'\nUsage: cadence-host validate [--module PATH] [--json]; see "
                 "'cadence-host validate --help'.\n",
                 printableArgument(line.runCheck).toUtf8().constData());
    return kExitUsage;
  }

  const QString program = QCoreApplication::applicationFilePath();
  std::vector<CheckOutcome> outcomes;
  bool passed = true;
  for (const Check& check : allChecks()) {
    const Verdict verdict = runCheckInChild(program, check, subject);
    outcomes.push_back(CheckOutcome{check.name, verdict});
    passed = passed && verdict.passed;
    if (check.failureStopsInstances && !verdict.passed) subject.withInstances = false;
  }
  const std::string shownPath = modulePath.toUtf8().constData();
  if (line.json) {
    printJson(shownPath, outcomes, out);
  } else {
    printTable(shownPath, outcomes, out);
  }
  return passed ? kExitOk : kExitFailure;
}

}  // namespace cadence::host::validate

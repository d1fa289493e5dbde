// `cadence-host validate` run as a program: the project's module and a sound
// probe pass every check; each broken probe fails exactly the check of the
// rule it breaks (and the program's status is 1), and every rule a probe
// breaks is listed in the table and the JSON; a module of another Qt major
// fails the Qt check; bad arguments give 2 and a missing file 3.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/support/program_run.h"

namespace {

using cadence::test::ProgramOutcome;

const int kChecks = 9;

ProgramOutcome validate(const QStringList& arguments) {
  return cadence::test::runProgram(QString::fromLatin1(CADENCE_HOST_PATH),
                                   QStringList() << QString::fromLatin1("validate") << arguments, 120000);
}

ProgramOutcome validateModule(const char* path, const QStringList& more = QStringList()) {
  return validate(QStringList() << QString::fromLatin1("--module") << QString::fromUtf8(path) << more);
}

// The table's rows: check -> "pass" or "FAIL", and check -> its broken
// rules (the reason on its row, then each line under it).
struct Table {
  std::map<std::string, std::string> results;
  std::map<std::string, std::vector<std::string>> reasons;
  std::string reason(const std::string& check) const {
    const auto found = reasons.find(check);
    std::string all;
    if (found != reasons.end()) {
      for (const std::string& line : found->second) all += line + "\n";
    }
    return all;
  }
};

Table tableOf(const QString& out) {
  Table table;
  bool inRows = false;
  std::string last;
  for (const QString& line : out.split(QLatin1Char('\n'))) {
    if (line.startsWith(QLatin1String("check "))) {
      inRows = true;
      continue;
    }
    if (!inRows || line.isEmpty()) {
      inRows = inRows && !line.isEmpty();
      continue;
    }
    if (line.startsWith(QLatin1Char(' '))) {  // one more broken rule of the check above
      table.reasons[last].push_back(line.simplified().toStdString());
      continue;
    }
    const QStringList words = line.simplified().split(QLatin1Char(' '));
    if (words.size() < 2) continue;
    last = words[0].toStdString();
    table.results[last] = words[1].toStdString();
    table.reasons[last].push_back(line.simplified().section(QLatin1Char(' '), 2).toStdString());
  }
  return table;
}

std::string show(const ProgramOutcome& outcome) {
  return "status " + std::to_string(outcome.status) + "\n--- stdout\n" + outcome.out.toStdString() + "--- stderr\n" +
         outcome.err.toStdString();
}

TEST(ValidateCommand, TheProjectsModuleAndASoundModulePassEveryCheck) {
  for (const char* module : {MODULE_PATH, PROBE_SOUND}) {
    const ProgramOutcome outcome = validateModule(module);
    EXPECT_EQ(outcome.status, 0) << show(outcome);
    const Table table = tableOf(outcome.out);
    EXPECT_EQ(table.results.size(), static_cast<size_t>(kChecks)) << show(outcome);
    for (const auto& [check, result] : table.results) EXPECT_EQ(result, "pass") << check << "\n" << show(outcome);
    EXPECT_TRUE(outcome.out.contains(QLatin1String("9 checks, all passed"))) << show(outcome);

    const ProgramOutcome json = validateModule(module, QStringList() << QString::fromLatin1("--json"));
    EXPECT_EQ(json.status, 0) << show(json);
    EXPECT_TRUE(json.out.startsWith(QLatin1String("{\"module\": \""))) << show(json);
    EXPECT_TRUE(json.out.contains(QLatin1String("\"passed\": true"))) << show(json);
    EXPECT_EQ(json.out.count(QLatin1String("\"result\": \"pass\"")), kChecks) << show(json);
  }
}

TEST(ValidateCommand, EachBrokenModuleFailsExactlyTheCheckOfItsRule) {
  struct Broken {
    const char* module;
    const char* check;
    const char* reason;  // a part of the reason given
  };
  const Broken broken[] = {
      {PROBE_EXTRA_EXPORT, "exports", "exports probeHelper besides EntryPoint"},
      {PROBE_PREFIX_QUERY, "queries",
       "Probe: answers 'IProb', a prefix of 'IProbe'; names must match exactly: IProbe answered"},
      {PROBE_TWO_COUNTS, "queries", "Probe: through 'ITally' it has a second IVelUnknown, and a second count"},
      {PROBE_MISCOUNTED_CLASSES, "class-listing", "getClassCount says 2, the walk"},
      {PROBE_KEPT_REFERENCE, "class-instances", "each createInstance leaves a reference on the object"},
      {PROBE_CRASHING_CREATE, "class-instances", "before its verdict"},  // a crash, or a sanitizer's exit
  };
  for (const Broken& probe : broken) {
    const ProgramOutcome outcome = validateModule(probe.module);
    EXPECT_EQ(outcome.status, 1) << show(outcome);
    Table table = tableOf(outcome.out);
    EXPECT_EQ(table.results.size(), static_cast<size_t>(kChecks)) << show(outcome);
    for (const auto& [check, result] : table.results) {
      EXPECT_EQ(result, check == probe.check ? "FAIL" : "pass") << probe.module << ": " << check << "\n"
                                                                << show(outcome);
    }
    EXPECT_NE(table.reason(probe.check).find(probe.reason), std::string::npos) << show(outcome);
    EXPECT_TRUE(outcome.out.contains(QLatin1String("1 of 9 checks failed"))) << show(outcome);
  }
  // After a crash in createInstance the later checks leave instances out.
  Table crashed = tableOf(validateModule(PROBE_CRASHING_CREATE).out);
  EXPECT_NE(crashed.reason("queries").find("no instances"), std::string::npos);

  const ProgramOutcome otherQt = validateModule(OTHER_QT_MODULE_PATH);
  EXPECT_EQ(otherQt.status, 1) << show(otherQt);
  Table otherTable = tableOf(otherQt.out);
  EXPECT_EQ(otherTable.results["qt"], "FAIL") << show(otherQt);
  EXPECT_NE(otherTable.reason("qt").find("built with Qt " + std::to_string(OTHER_QT_MAJOR)), std::string::npos)
      << show(otherQt);
}

TEST(ValidateCommand, EveryBrokenRuleIsListedInTheTableAndTheJson) {
  const struct {
    const char* module;
    std::map<std::string, std::vector<std::string>> rules;  // check -> each broken rule, in part
  } probes[] = {
      {PROBE_OTHER_VERSION,
       {{"exports", {"exports probeVersion besides EntryPoint"}},
        {"entry-point",
         {"EntryPoint(null, null) returned 1: without an object slot it returns 0",
          "EntryPoint(&version, null) returned 1", "EntryPoint(&version, null) wrote version 99",
          "EntryPoint(&version, &object): version 99, expected 100, on each of 3 calls"}}}},
      {PROBE_PREFIX_QUERY,
       {{"queries",
         {"Probe: answers the empty name ''; names must match exactly: IProbe answered",
          "Probe: answers 'IProb', a prefix of 'IProbe'; names must match exactly: IProbe answered"}}}},
  };
  for (const auto& probe : probes) {
    const ProgramOutcome outcome = validateModule(probe.module);
    EXPECT_EQ(outcome.status, 1) << show(outcome);
    const Table table = tableOf(outcome.out);
    const ProgramOutcome json = validateModule(probe.module, QStringList() << QString::fromLatin1("--json"));
    for (const auto& [check, rules] : probe.rules) {
      EXPECT_EQ(table.results.at(check), "FAIL") << show(outcome);
      EXPECT_EQ(table.reasons.at(check).size(), rules.size()) << check << "\n" << show(outcome);
      for (const std::string& rule : rules) {
        EXPECT_NE(table.reason(check).find(rule), std::string::npos) << rule << "\n" << show(outcome);
        EXPECT_TRUE(json.out.contains(QString::fromStdString(rule))) << rule << "\n" << show(json);
      }
    }
    EXPECT_EQ(json.out.count(QLatin1String("\"result\": \"fail\"")), static_cast<int>(probe.rules.size()))
        << show(json);
  }
}

TEST(ValidateCommand, BadArgumentsGiveStatusTwoAndAMissingModuleThree) {
  const ProgramOutcome help = validate(QStringList() << QString::fromLatin1("--help"));
  EXPECT_EQ(help.status, 0) << show(help);
  EXPECT_TRUE(help.out.startsWith(QLatin1String("Usage: cadence-host validate"))) << show(help);
  for (const char* bad : {"--jsn", "--module", "extra"}) {
    const ProgramOutcome outcome = validate(QStringList() << QString::fromLatin1(bad));
    EXPECT_EQ(outcome.status, 2) << bad << "\n" << show(outcome);
    EXPECT_EQ(outcome.err.count(QLatin1Char('\n')), 2) << show(outcome);  // the reason, then the hint
  }
  const ProgramOutcome missing = validateModule("/no/such/module.so");
  EXPECT_EQ(missing.status, 3) << show(missing);
  EXPECT_TRUE(missing.err.startsWith(QLatin1String("cadence-host: cannot find module"))) << show(missing);
}

}  // namespace

// The list of checks, how a verdict reads, and the table and JSON of them all.
#include "validate/checks.h"

namespace cadence::host::validate {

const std::vector<Check>& allChecks() {
  static const std::vector<Check> checks = {
      {"exports", false, &checkExports},
      {"qt", false, &checkQtMajor},
      {"entry-point", false, &checkEntryPoint},
      {"identity", false, &checkIdentity},
      {"class-listing", false, &checkClassListing},
      {"class-instances", true, &checkClassInstances},
      {"queries", false, &checkQueries},
      {"references", false, &checkReferences},
      {"no-services", false, &checkNoServices},
  };
  return checks;
}

const Check* findCheck(const std::string& name) {
  for (const Check& check : allChecks()) {
    if (name == check.name) return &check;
  }
  return nullptr;
}

void Findings::fail(const std::string& problem) {
  for (const std::string& known : problems_) {
    if (known == problem) return;
  }
  problems_.push_back(problem);
}

Verdict Findings::verdict(const std::string& passReason) const {
  if (problems_.empty()) return Verdict{true, passReason, {}};
  return Verdict{false, problems_.front(), problems_};
}

namespace {

constexpr int kCheckColumn = 16;

int failures(const std::vector<CheckOutcome>& outcomes) {
  int failed = 0;
  for (const CheckOutcome& outcome : outcomes) failed += outcome.verdict.passed ? 0 : 1;
  return failed;
}

}  // namespace

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

std::string jsonString(const std::string& text) {
  std::string json = "\"";
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      json += '\\';
      json += c;
    } else if (u < 0x20 || u == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      json += escaped;
    } else {
      json += c;  // UTF-8 passes through
    }
  }
  return json + "\"";
}

}  // namespace cadence::host::validate

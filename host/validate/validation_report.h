// How `cadence-host validate` shows its verdicts: a table of check, result
// and a one-line reason, or one JSON object for CI.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/validate/checks.h"

namespace cadence::host::validate {

struct CheckOutcome {
  std::string check;
  Verdict verdict;
};

void printTable(const std::string& modulePath, const std::vector<CheckOutcome>& outcomes, std::FILE* out);

// {"module": "...", "passed": false, "checks": [{"check": "exports",
// "result": "pass", "reason": "..."}, ...]}
void printJson(const std::string& modulePath, const std::vector<CheckOutcome>& outcomes, std::FILE* out);

// The text as a JSON string, quotes included.
std::string jsonString(const std::string& text);

}  // namespace cadence::host::validate

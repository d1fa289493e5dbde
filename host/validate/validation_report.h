// How `cadence-host validate` shows its verdicts: a table of check, result
// and reason (each further broken rule on a line of its own under it), or
// one JSON object for CI.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "validate/checks.h"

namespace cadence::host::validate {

struct CheckOutcome {
  std::string check;
  Verdict verdict;
};

void printTable(const std::string& modulePath, const std::vector<CheckOutcome>& outcomes, std::FILE* out);

// {"module": "...", "passed": false, "checks": [{"check": "exports",
// "result": "fail", "reason": "<the first broken rule>", "problems":
// ["<every broken rule>", ...]}, ...]}; a check that passed has "problems": [].
void printJson(const std::string& modulePath, const std::vector<CheckOutcome>& outcomes, std::FILE* out);

// The text as a JSON string, quotes included.
std::string jsonString(const std::string& text);

}  // namespace cadence::host::validate

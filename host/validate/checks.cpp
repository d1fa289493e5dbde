// The list of checks, how a verdict reads, and JSON strings.
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

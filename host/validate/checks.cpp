// The list of checks and how a verdict reads.
#include "host/validate/checks.h"

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

Verdict Findings::verdict(const std::string& passReason) const {
  if (problems_ == 0) return Verdict{true, passReason};
  std::string reason = first_;
  if (problems_ > 1) reason += " (and " + std::to_string(problems_ - 1) + " more)";
  return Verdict{false, reason};
}

}  // namespace cadence::host::validate

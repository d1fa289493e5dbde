// The checks of `cadence-host validate`, in the order they run: each is a
// function that examines one module file and gives a verdict, run in a
// process of its own so that a crash fails that check alone.
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <QString>

namespace cadence::host::validate {

struct Verdict {
  Verdict() = default;
  Verdict(bool passedIt, std::string why, std::vector<std::string> broken = {})
      : passed(passedIt), reason(std::move(why)), problems(std::move(broken)) {}

  bool passed = false;
  std::string reason;  // one line: what passed, or the first broken rule
  // Every broken rule, one line each, the first being `reason`; may be
  // left empty when `reason` is the only one.
  std::vector<std::string> problems;

  std::vector<std::string> brokenRules() const {
    if (passed) return {};
    return problems.empty() ? std::vector<std::string>{reason} : problems;
  }
};

// What a check examines.
struct CheckSubject {
  QString modulePath;
  // False once the class-instances check has failed: the later checks then
  // reach no instance of the module's classes (createInstance may crash).
  bool withInstances = true;
};

struct Check {
  const char* name;
  // When this check fails, the checks after it reach no instance of the
  // module's classes (true for class-instances alone).
  bool failureStopsInstances;
  Verdict (*run)(const CheckSubject& subject);
};

// Every check, in order.
const std::vector<Check>& allChecks();

// The check named `name`, or null.
const Check* findCheck(const std::string& name);

// Collects a check's broken rules, each once, in the order found; the
// verdict names them all.
class Findings {
 public:
  void fail(const std::string& problem);
  bool clean() const { return problems_.empty(); }
  Verdict verdict(const std::string& passReason) const;

 private:
  std::vector<std::string> problems_;
};

// The checks themselves, one group per file.
Verdict checkExports(const CheckSubject& subject);         // check_files.cpp
Verdict checkQtMajor(const CheckSubject& subject);         // check_files.cpp
Verdict checkEntryPoint(const CheckSubject& subject);      // check_component.cpp
Verdict checkIdentity(const CheckSubject& subject);        // check_component.cpp
Verdict checkClassListing(const CheckSubject& subject);    // check_classes.cpp
Verdict checkClassInstances(const CheckSubject& subject);  // check_classes.cpp
Verdict checkQueries(const CheckSubject& subject);         // query_rules.cpp
Verdict checkReferences(const CheckSubject& subject);      // check_references.cpp
Verdict checkNoServices(const CheckSubject& subject);      // check_references.cpp

// The text as a JSON string, quotes included.
std::string jsonString(const std::string& text);

}  // namespace cadence::host::validate

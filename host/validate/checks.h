// The checks of `cadence-host validate`, in the order they run: each is a
// function that examines one module file and gives a verdict, run in a
// process of its own so that a crash fails that check alone.
#pragma once

#include <string>
#include <vector>

#include <QString>

namespace cadence::host::validate {

struct Verdict {
  bool passed = false;
  std::string reason;  // one line
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

// Collects a check's problems; the verdict names the first one and how many
// more there were.
class Findings {
 public:
  void fail(const std::string& problem) {
    if (problems_++ == 0) first_ = problem;
  }
  bool clean() const { return problems_ == 0; }
  Verdict verdict(const std::string& passReason) const;

 private:
  int problems_ = 0;
  std::string first_;
};

// The checks themselves, one group per file.
Verdict checkExports(const CheckSubject& subject);         // check_files.cpp
Verdict checkQtMajor(const CheckSubject& subject);         // check_files.cpp
Verdict checkEntryPoint(const CheckSubject& subject);      // check_component.cpp
Verdict checkIdentity(const CheckSubject& subject);        // check_component.cpp
Verdict checkClassListing(const CheckSubject& subject);    // check_classes.cpp
Verdict checkClassInstances(const CheckSubject& subject);  // check_classes.cpp
Verdict checkQueries(const CheckSubject& subject);         // check_queries.cpp
Verdict checkReferences(const CheckSubject& subject);      // check_references.cpp
Verdict checkNoServices(const CheckSubject& subject);      // check_references.cpp

}  // namespace cadence::host::validate

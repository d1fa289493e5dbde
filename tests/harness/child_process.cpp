// The parts of the child-process harness every system shares: the bodies by
// name, how an outcome reads, and reading a child's files.
#include "tests/harness/child_process.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

namespace cadence::harness {
namespace {

std::map<std::string, ChildBody>& bodies() {
  static std::map<std::string, ChildBody> registered;
  return registered;
}

}  // namespace

std::string ChildOutcome::describe() const {
  switch (kind) {
    case Kind::Exited: return "exit status " + std::to_string(value);
    case Kind::Signaled: return "signal " + std::to_string(value);
    case Kind::TimedOut: return "timeout (killed)";
    case Kind::ForkFailed: return "fork failed";
  }
  return "?";
}

ChildBodyRegistration::ChildBodyRegistration(const char* name, ChildBody body) { bodies()[name] = body; }

int runChildBody(const std::string& bodyName, const std::string& argument) {
  const auto found = bodies().find(bodyName);
  if (found == bodies().end()) {
    std::fprintf(stderr, "child: no body named '%s'\n", bodyName.c_str());
    return 70;
  }
  try {
    return found->second(argument);
  } catch (...) {
    std::fputs("child: uncaught exception\n", stderr);
    return 71;
  }
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace cadence::harness

// Runs a piece of code in a child process with a time limit and reports how
// the child ended: its exit status, the signal that ended it, or a timeout
// (the child is then killed). The child's standard error goes to a file.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace cadence::harness {

struct ChildOutcome {
  enum class Kind { Exited, Signaled, TimedOut, ForkFailed };
  Kind kind = Kind::ForkFailed;
  int value = 0;  // exit status or signal number

  bool exitedWith(int status) const { return kind == Kind::Exited && value == status; }
  std::string describe() const;
};

// Forks; the child runs `body` and ends through std::exit with its result, so
// process-wide destructors run as in a real process. `stderrPath` (if not
// empty) receives the child's standard error.
ChildOutcome runInChild(const std::function<int()>& body, std::chrono::milliseconds limit,
                        const std::string& stderrPath);

// The whole content of a file, or an empty string.
std::string readFile(const std::string& path);

}  // namespace cadence::harness

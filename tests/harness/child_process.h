// Runs a piece of code in a child process with a time limit and reports how
// the child ended: its exit status, the signal that ended it, or a timeout
// (the child is then killed). The child's standard error goes to a file.
// The code is registered under a name when the program starts, so a child
// finds it whether it is a forked copy of this process (POSIX) or a new run
// of this test program (Windows); it gets one text argument.
#pragma once

#include <chrono>
#include <string>

namespace cadence::harness {

struct ChildOutcome {
  enum class Kind { Exited, Signaled, TimedOut, ForkFailed };
  Kind kind = Kind::ForkFailed;
  int value = 0;  // exit status or signal number

  bool exitedWith(int status) const { return kind == Kind::Exited && value == status; }
  std::string describe() const;
};

// What a child runs; its result becomes the child's exit status.
using ChildBody = int (*)(const std::string& argument);

// Registers `body` under `name`; made as a static object, e.g.
//   const ChildBodyRegistration registerSweep("sweep", &sweepBody);
struct ChildBodyRegistration {
  ChildBodyRegistration(const char* name, ChildBody body);
};

// Starts a child that runs the body registered as `bodyName` with `argument`
// and ends through std::exit with its result, so process-wide destructors
// run as in a real process. `stderrPath` (if not empty) receives the child's
// standard error.
ChildOutcome runInChild(const std::string& bodyName, const std::string& argument, std::chrono::milliseconds limit,
                        const std::string& stderrPath);

// In the child: runs the registered body and gives its status (70 when no
// body has that name, 71 when it threw).
int runChildBody(const std::string& bodyName, const std::string& argument);

// The whole content of a file, or an empty string.
std::string readFile(const std::string& path);

}  // namespace cadence::harness

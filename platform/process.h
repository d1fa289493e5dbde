// Ending the process. Replaceable so a test can observe the exit instead of dying.
#pragma once

#include <cstdlib>

namespace cadence::port {

class Process {
 public:
  virtual ~Process() = default;
  // Ends the process with `status`; a test double may throw instead.
  [[noreturn]] virtual void exit(int status) = 0;
};

Process& process();
Process* setProcess(Process* replacement);
Process& systemProcess();

// The status a parent process reads for exit(-1): the low eight bits (255)
// on POSIX, the whole 32-bit exit code (-1) on Windows.
#if defined(_WIN32)
inline constexpr int kStatusOfExitMinusOne = -1;
#else
inline constexpr int kStatusOfExitMinusOne = 255;
#endif

[[noreturn]] inline void exitProcess(int status) {
  process().exit(status);
  std::abort();  // an exit that returns is a broken double
}

}  // namespace cadence::port

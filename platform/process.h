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

[[noreturn]] inline void exitProcess(int status) {
  process().exit(status);
  std::abort();  // an exit that returns is a broken double
}

}  // namespace cadence::port

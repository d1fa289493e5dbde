// Ending the process on every platform through the C runtime's exit.
#include <cstdlib>

#include "base/process_wide.h"
#include "platform/process.h"

namespace cadence::port {
namespace {

class SystemProcess final : public Process {
 public:
  [[noreturn]] void exit(int status) override { std::exit(status); }
};

}  // namespace

Process& systemProcess() { return cadence::neverDestroyed<SystemProcess>(); }

}  // namespace cadence::port

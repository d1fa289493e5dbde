// Installs memory.log, the notice and the spill file as guarded allocation's
// out-of-memory handler.
#include "report/out_of_memory_report.h"

#include "memory/out_of_memory_handler.h"
#include "report/memory_report.h"
#include "report/out_of_memory_notice.h"
#include "report/spill.h"

namespace cadence::report {
namespace {

void reportFailure(int64_t bytes, int32_t reasonCode) {
  writeMemoryReport(bytes);
  showOutOfMemoryNotice(reasonCode);
}

constinit const XalOutOfMemoryHandler handler = {&reportFailure, &spillAndReallocate};

struct Installer {
  Installer() { installOutOfMemoryReport(); }
} installer;

}  // namespace

void installOutOfMemoryReport() { xalInstallOutOfMemoryHandler(&handler); }

}  // namespace cadence::report

// Named in the runtime's link options (-u), so this file, and with it the
// installer above, is part of every program that links the runtime.
extern "C" const char cadencehost_out_of_memory_report = 1;

// memory.log: the failed request, the system's memory figures and the memory
// manager's accounts, one line each, written anew on every report.
#pragma once

#include <cstdint>

namespace cadence::report {

// Writes memory.log in the logs directory (attemptedBytes 0: no first lines).
void writeMemoryReport(int64_t attemptedBytes);

}  // namespace cadence::report

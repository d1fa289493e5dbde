// When memory runs out for good: the memory manager accessor, the report
// written to memory.log, the system figures and the notice to the user.
#pragma once

#include <cstdint>

namespace VelMM {
class IVelMManager;
}

// The host's memory manager, looked up once at the first call; null if none.
VelMM::IVelMManager* memoryManager();

// Writes memory.log in the logs directory (attemptedBytes 0: no first lines).
void writeMemoryReport(int64_t attemptedBytes);

// System figures in KiB: 0 on success, -1 when the query fails, or the
// memory checker's own result.
int32_t systemMemoryFigures(int64_t* systemFree, int64_t* systemTotal, int64_t* swapFree,
                            int64_t* swapTotal);

// Shows the out-of-memory notice for reason codes -5..-1; always false.
bool showOutOfMemoryNotice(int32_t reasonCode);

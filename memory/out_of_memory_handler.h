// What guarded allocation calls when the heap has nothing more to give. The
// layer above it (the out-of-memory report: memory.log, the notice, the spill
// file, all of which need strings and streams) installs itself here at load,
// so guarded allocation never depends on it. Without one, a failure still
// ends the process with status -1, only without report or spill.
#pragma once

#include <cstdint>

namespace VelMM {
class IVelMManager;
}

struct XalOutOfMemoryHandler {
  // Writes the report for the failed request of `bytes` and shows the notice
  // for `reasonCode` (kOom...); the process ends when it returns.
  void (*reportFailure)(int64_t bytes, int32_t reasonCode);
  // Parks the first oldBytes of *block in a temporary file, frees the block,
  // obtains `bytes` (with the manager's help), reads the contents back and
  // zero-fills the rest. Returns `count`; on any failure ends the process.
  int32_t (*spillAndReallocate)(void** block, int64_t oldBytes, int64_t bytes, int32_t count,
                                VelMM::IVelMManager* manager);
};

// Installs `handler` (static storage) for the whole process; null removes it.
void xalInstallOutOfMemoryHandler(const XalOutOfMemoryHandler* handler);
// The installed handler, or null.
const XalOutOfMemoryHandler* xalOutOfMemoryHandler();

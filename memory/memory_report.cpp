// Minimal stand-in until the report and notice exist: ends the process.
#include "memory/memory_report.h"

#include "platform/process.h"

VelMM::IVelMManager* memoryManager() { return nullptr; }
void writeMemoryReport(int64_t) {}
int32_t systemMemoryFigures(int64_t*, int64_t*, int64_t*, int64_t*) { return -1; }
bool showOutOfMemoryNotice(int32_t) { velport::exitProcess(-1); }

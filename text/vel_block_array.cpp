// VelBlockArray, the process-wide empty array, and the arrays' last resort.
#include "base/process_wide.h"
#include "cadencehost/vel_array.h"
#include "memory/pool.h"
#include "memory/xal_alloc.h"

VelBlockArray::~VelBlockArray() { poolFree(&capacity, &data); }

const VelBlockArray& velEmptyBlockArray() {
  // Released by the block rule at unload.
  return cadence::builtOnFirstUse<[] { return VelBlockArray(); }>();
}

void velOutOfMemory(int64_t attemptedBytes) { xalOutOfMemory(attemptedBytes); }

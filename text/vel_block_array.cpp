// VelBlockArray and the process-wide empty array.
#include "base/process_wide.h"
#include "cadencehost/vel_array.h"
#include "memory/pool.h"

VelBlockArray::~VelBlockArray() { poolFree(&capacity, &data); }

const VelBlockArray& velEmptyBlockArray() {
  // Released by the block rule at unload.
  return cadence::builtOnFirstUse<[] { return VelBlockArray(); }>();
}

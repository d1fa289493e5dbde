// VelBlockArray and the process-wide empty array.
#include "cadencehost/vel_array.h"
#include "memory/pool.h"

VelBlockArray::~VelBlockArray() { poolFree(&capacity, &data); }

const VelBlockArray& velEmptyBlockArray() {
  static VelBlockArray empty;  // released by the block rule at unload
  return empty;
}

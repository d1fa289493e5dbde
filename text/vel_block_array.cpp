// VelBlockArray and the process-wide empty array.
#include "memory/pool.h"
#include "cadencehost/vel_array.h"

VelBlockArray::~VelBlockArray() { poolFree(&capacity, &data); }

const VelBlockArray& velEmptyBlockArray() {
  static VelBlockArray empty;  // released by the block rule at unload
  return empty;
}

// Memory figures of this process and of the machine, in bytes.
#pragma once

#include <cstdint>

namespace cadence::host {

struct MemoryFigures {
  uint64_t processResident = 0;  // bytes of this process in physical memory
  uint64_t processSwapped = 0;   // bytes of this process in swap
  uint64_t physicalTotal = 0;
  uint64_t swapTotal = 0;
};

// Reads the current figures; those the system does not give stay 0.
MemoryFigures readMemoryFigures();

}  // namespace cadence::host

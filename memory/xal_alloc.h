// Guarded allocation: never hands back a null block for a non-zero request.
// On failure it asks the host's memory manager, settles for less, spills the
// block to a temporary file, and at last reports, shows the notice and exits.
#pragma once

#include <cstdint>

#include "cadencehost/vel_object.h"

// Stores a new block of elemSize x count bytes in *block; returns count.
int32_t xalMalloc(void** block, int32_t elemSize, int32_t count);

// Resizes *block (curSize elements) to between minNewSize and maxNewSize
// elements (maxNewSize -1: equal to minNewSize); returns the new count.
int32_t xalRealloc(void** block, int32_t elemSize, int32_t curSize, int32_t minNewSize, int32_t maxNewSize);

// Out-of-memory reason codes.
constexpr int32_t kOomOpenFailed = -1;
constexpr int32_t kOomWriteFailed = -2;
constexpr int32_t kOomReadFailed = -3;
constexpr int32_t kOomNoMemory = -4;

// The last resort, velOutOfMemory, is the contract's (vel_object.h).

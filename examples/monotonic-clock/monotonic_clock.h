// What monoclock_mod offers a host: two classes. The clock service, created
// through IVelComponent::createInstance(kClockServiceClassId, ...) with
// status kVelCreatedSingleton (one shared object), reached by queryInterface
// for IMonotonicClock::kInterfaceName; and stopwatches, a new one on every
// createInstance(kStopwatchClassId, ...) with status kVelCreatedNew (count 0:
// the host takes the first reference and its last release frees it), reached
// for IStopwatch::kInterfaceName. A host includes this header beside
// cadencehost/sdk.h.
#pragma once

#include <cstdint>

#include "cadencehost/vel_id.h"
#include "cadencehost/vel_object.h"

namespace Monoclock {

// The module's classes.
// {7B3E2C1A-4D5F-4A6B-9C8D-0E1F2A3B4C5D}
inline constexpr VelID kClockServiceClassId(0x7B3E2C1Au, 0x4D5Fu, 0x4A6Bu, 0x9C, 0x8D, 0x0E, 0x1F, 0x2A, 0x3B, 0x4C,
                                            0x5D);
inline constexpr const char* kClockServiceClassName = "ClockService";
// {7B3E2C1A-4D5F-4A6B-9C8D-0E1F2A3B4C5E}
inline constexpr VelID kStopwatchClassId(0x7B3E2C1Au, 0x4D5Fu, 0x4A6Bu, 0x9C, 0x8D, 0x0E, 0x1F, 0x2A, 0x3B, 0x4C, 0x5E);
inline constexpr const char* kStopwatchClassName = "Stopwatch";

class IMonotonicClock : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IMonotonicClock";
  // Nanoseconds since the service was created; never less than an earlier
  // answer, whatever happens to the wall clock.
  virtual int64_t nowNanoseconds() = 0;
  // The length of the clock's tick in nanoseconds (at least 1).
  virtual int64_t resolutionNanoseconds() = 0;
};

class IStopwatch : public virtual IVelUnknown {
 public:
  static constexpr const char* kInterfaceName = "IStopwatch";
  // Nanoseconds since this stopwatch was made or last restarted.
  virtual int64_t elapsedNanoseconds() = 0;
  virtual void restart() = 0;
};

}  // namespace Monoclock

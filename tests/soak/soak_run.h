// One soak run: the module loaded as a host loads it, its timer service
// under a population of churned timers and listeners on one Qt event loop
// for a given time, the host's bucket pool offered half-way through, the
// resident set sampled every second; then every check, printed as figures.
#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>

#include "tests/soak/soak_population.h"

namespace cadence::soak {

struct SoakOptions {
  int seconds = 60;
  QString modulePath;
  uint32_t seed = 1;
  int timers = 300;
  bool offerHostPool = true;
  Fault fault = Fault::none;
};

// Exit statuses of the soak program.
enum SoakStatus : int { kSoakPassed = 0, kSoakFailed = 1, kSoakUsage = 2, kSoakModule = 3 };

// Needs a QCoreApplication. Prints progress and figures to `out`.
int runSoak(const SoakOptions& options, std::FILE* out);

}  // namespace cadence::soak

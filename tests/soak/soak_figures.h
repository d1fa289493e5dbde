// What a soak run found, gathered once the run is over, and the text it
// prints: one line per figure, then a line per failed check.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/soak/alert_ledger.h"
#include "tests/soak/memory_trend.h"
#include "tests/soak/pool_move_watch.h"
#include "tests/soak/soak_population.h"

namespace cadence::soak {

struct SoakFigures {
  double ranSeconds = 0;
  LedgerTotals ledger;
  SteadyFigures steady;
  double longestSilenceOverMs = 0;
  int64_t alertsAfterShutdown = 0;
  ChurnCounts churn;
  int64_t textsMade = 0;
  int64_t translations = 0;
  PoolMoveFigures poolMove;
  int64_t timersAlive = 0;
  int64_t listenersAlive = 0;
  int64_t recordsAlive = 0;  // the soak's own records of timer objects
  size_t qtTimersFollowed = 0;
  int warmUpSeconds = 0;
  MemoryVerdict memory;
  std::vector<std::string> failures;  // the population's, then the end checks'
};

// Adds the end-of-run checks (ledger, objects alive, the move to the host's
// pool, memory) to figures.failures.
void judgeEnd(SoakFigures& figures);

// "1,234,567"
std::string grouped(int64_t value);

void printFigures(std::FILE* out, const SoakFigures& figures);

}  // namespace cadence::soak

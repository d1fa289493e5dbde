// The soak's end checks and its printed figures.
#include "tests/soak/soak_figures.h"

namespace cadence::soak {
namespace {

std::string percent(double share) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f %%", share * 100);
  return text;
}

}  // namespace

std::string grouped(int64_t value) {
  const std::string digits = std::to_string(value < 0 ? -value : value);
  std::string out = value < 0 ? "-" : "";
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

void judgeEnd(SoakFigures& figures) {
  std::vector<std::string>& failures = figures.failures;
  if (figures.ledger.mismatches != 0) {
    failures.push_back(grouped(figures.ledger.mismatches) +
                       " listeners were not delivered the alerts due to them (first: " + figures.ledger.firstMismatch +
                       ")");
  }
  if (figures.timersAlive != 0 || figures.listenersAlive != 0 || figures.recordsAlive != 0 ||
      figures.qtTimersFollowed != 0) {
    failures.push_back("objects alive at the end: timers " + std::to_string(figures.timersAlive) + ", listeners " +
                       std::to_string(figures.listenersAlive));
  }
  const PoolMoveFigures& move = figures.poolMove;
  if (move.offered && !move.moved() && move.judged()) {
    char offeredAt[32];
    std::snprintf(offeredAt, sizeof offeredAt, "%.1f s", move.offeredAtSeconds);
    failures.push_back(std::string("the module never moved to the host's pool offered at ") + offeredAt + ": " +
                       grouped(move.allocationsAfterOffer) + " of its allocations after the offer (it asks every " +
                       std::to_string(kModuleAsksHostEvery) + ")");
  }
  if (figures.memory.judged && !figures.memory.ok) {
    failures.push_back("the resident set grew after the warm-up: " + percent(figures.memory.growth) +
                       " (bound 2 %), trend " + percent(figures.memory.trend) + " (bound 1 %)");
  }
}

void printFigures(std::FILE* out, const SoakFigures& f) {
  const ChurnCounts& c = f.churn;
  const SteadyFigures& s = f.steady;
  const double clockShare = s.scheduled > 0 ? static_cast<double>(s.expiries) / static_cast<double>(s.scheduled) : 0.0;
  std::fprintf(out, "\nSoak figures after %.1f s:\n", f.ranSeconds);
  std::fprintf(out, "  alerts delivered / due    %s / %s over %s listener stays; %s mismatched\n",
               grouped(f.ledger.delivered).c_str(), grouped(f.ledger.due).c_str(),
               grouped(f.ledger.registrations).c_str(), grouped(f.ledger.mismatches).c_str());
  std::fprintf(out, "  steady timers' expiries   %s of %s by the clock (%s); lowest at 20 ms and up %s (%s)\n",
               grouped(s.expiries).c_str(), grouped(s.scheduled).c_str(), percent(clockShare).c_str(),
               percent(s.lowestShareAt20).c_str(), s.lowestName.c_str());
  std::fprintf(out, "  longest silence           %.1f ms past 1.05 periods (bound %lld ms); %s alerts after shutdown\n",
               f.longestSilenceOverMs, static_cast<long long>(kSilenceBoundMs), grouped(f.alertsAfterShutdown).c_str());
  std::fprintf(out,
               "  timers                    %s created (%s replaced by name), %s removed (%s held, %s restarted "
               "while held), %s restarts, %s stops, %s new intervals, %s removed or replaced in their own alert\n",
               grouped(c.created).c_str(), grouped(c.replaced).c_str(), grouped(c.removed).c_str(),
               grouped(c.held).c_str(), grouped(c.heldRestarted).c_str(), grouped(c.restarted).c_str(),
               grouped(c.stopped).c_str(), grouped(c.intervalsSet).c_str(), grouped(c.timersRemovedInOwnAlert).c_str());
  std::fprintf(
      out,
      "  listeners                 %s added (%s during an alert), %s removed (%s during an alert of their timer)\n",
      grouped(c.listenersAdded).c_str(), grouped(c.addedInAlert).c_str(), grouped(c.listenersRemoved).c_str(),
      grouped(c.removedInOwnAlert).c_str());
  std::fprintf(out, "  texts made and dropped    %s (%s translations); registry checks %s\n",
               grouped(f.textsMade).c_str(), grouped(f.translations).c_str(), grouped(c.registryChecks).c_str());
  const PoolMoveFigures& move = f.poolMove;
  if (!move.offered) {
    std::fprintf(out, "  host pool                 not offered\n");
  } else if (move.moved()) {
    std::fprintf(out,
                 "  host pool                 offered at %.1f s; the module moved to it by %.1f s, within %s of its "
                 "allocations after the offer\n",
                 move.offeredAtSeconds, move.movedAtSeconds, grouped(move.allocationsToMove).c_str());
  } else if (move.judged()) {
    std::fprintf(out,
                 "  host pool                 offered at %.1f s; the module had not moved to it after %s of its "
                 "allocations\n",
                 move.offeredAtSeconds, grouped(move.allocationsAfterOffer).c_str());
  } else {
    std::fprintf(out,
                 "  host pool                 offered at %.1f s; the run ended %s of the module's allocations after "
                 "the offer, too few to judge the move (%s needed)\n",
                 move.offeredAtSeconds, grouped(move.allocationsAfterOffer).c_str(),
                 grouped(kAllocationsToJudgeMove).c_str());
  }
  std::fprintf(out, "  objects alive at the end  timers %lld, listeners %lld\n", static_cast<long long>(f.timersAlive),
               static_cast<long long>(f.listenersAlive));
  if (f.memory.judged) {
    std::fprintf(out,
                 "  resident set              after a %d s warm-up %s, peak %s, last %s; growth %s (bound 2 %%), "
                 "trend over the last half %s (bound 1 %%)\n",
                 f.warmUpSeconds, megabytes(f.memory.firstBytes).c_str(), megabytes(f.memory.peakBytes).c_str(),
                 megabytes(f.memory.lastBytes).c_str(), percent(f.memory.growth).c_str(),
                 percent(f.memory.trend).c_str());
  } else {
    std::fprintf(out, "  resident set              too few samples after the %d s warm-up to judge\n", f.warmUpSeconds);
  }
  for (const std::string& failure : f.failures) std::fprintf(out, "FAIL: %s\n", failure.c_str());
  std::fprintf(out, f.failures.empty() ? "soak passed\n" : "soak FAILED\n");
  std::fflush(out);
}

}  // namespace cadence::soak

// Settling the soak's alert registrations.
#include "tests/soak/alert_ledger.h"

namespace cadence::soak {

bool LedgerTotals::settle(const Registration& registration, const PassPosition& now) {
  const int64_t dueHere = registration.dueOnLeaving(now);
  ++registrations;
  due += dueHere;
  delivered += registration.alerts();
  if (registration.alerts() == dueHere) return true;
  ++mismatches;
  return false;
}

}  // namespace cadence::soak

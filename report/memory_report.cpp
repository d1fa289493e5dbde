// memory.log: the failed request, the system's memory figures and the
// memory manager's accounts, one line each, written anew on every report.
#include "report/memory_report.h"

#include <iomanip>

#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "io/vel_ofstream.h"
#include "memory/guard_services.h"
#include "report/memory_figures.h"
#include "report/paths.h"

namespace cadence::report {

namespace {

// The manager keeps its accounts in units of 24 KiB; the product is formed
// in 32 bits.
int32_t unitsToKiB(int32_t units) {
  return static_cast<int32_t>(static_cast<uint32_t>(units) * 24u);
}

template <class Number>
void writeFigure(std::ostream& out, const char* label, Number value, char unit) {
  out << label << std::setw(7) << value << unit << std::endl;
}

}  // namespace

void writeMemoryReport(int64_t attemptedBytes) {
  // Without a data store, or without the key, the report goes to memory.log
  // in the current directory.
  SPtr<IDataStore, IVelUnknown> store;
  VelString path;
  if (store) path = store->getString(IDataStore::kLogsDirectoryKey, 0);
  normalizePath(path);
  appendPathComponent(path, VelString::borrowing(u"memory.log"));

  int64_t systemFree = 0;
  int64_t systemTotal = 0;
  int64_t swapFree = 0;
  int64_t swapTotal = 0;
  systemMemoryFigures(&systemFree, &systemTotal, &swapFree, &swapTotal);

  // A file that cannot be opened leaves the stream failed; the writes below
  // then do nothing.
  VelOfstream out(withDriveRoot(path), std::ios_base::out | std::ios_base::trunc);
  if (attemptedBytes != 0) {
    writeFigure(out, "attempted:        ", static_cast<uint64_t>(attemptedBytes), 'b');
    out << std::endl;
  }
  writeFigure(out, "system free:      ", systemFree, 'k');
  writeFigure(out, "system total:     ", systemTotal, 'k');
  writeFigure(out, "swap free:        ", swapFree, 'k');
  writeFigure(out, "swap total:       ", swapTotal, 'k');
  out << std::endl;
  if (guard::memoryManager()) {
    writeFigure(out, "velmm core now:   ", unitsToKiB(guard::memoryManager()->coreNow()), 'k');
    writeFigure(out, "velmm core limit: ", unitsToKiB(guard::memoryManager()->coreLimit()), 'k');
    writeFigure(out, "velmm swap now:   ", unitsToKiB(guard::memoryManager()->swapNow()), 'k');
    writeFigure(out, "velmm swap limit: ", unitsToKiB(guard::memoryManager()->swapLimit()), 'k');
  } else {
    out << "velmm not available" << std::endl;
  }
  out << std::endl;
  out.close();
}

}  // namespace cadence::report

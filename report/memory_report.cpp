// memory.log: the failed request, the system's memory figures and the
// memory manager's accounts, one line each, written anew on every report:
// into a new file, then renamed over the previous report.
#include "report/memory_report.h"

#include <cstdio>
#include <iomanip>
#include <optional>

#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_services.h"
#include "cadencehost/vel_string.h"
#include "io/vel_ofstream.h"
#include "memory/guard_services.h"
#include "platform/files.h"
#include "platform/system.h"
#include "report/memory_figures.h"
#include "report/paths.h"

namespace cadence::report {

namespace {

// The manager keeps its accounts in its units; the product is formed in 32
// bits.
int32_t unitsToKiB(int32_t units) {
  return static_cast<int32_t>(static_cast<uint32_t>(units) * (VelMM::IVelMManager::kUnitBytes / 1024u));
}

// Names tried for the new report beside memory.log before giving up.
constexpr int kDraftAttempts = 16;

// "<target>.new-<process id>-<counter>-<attempt>": the counter makes the
// name hard to plant something under beforehand.
VelString draftName(const VelString& target, int attempt) {
  char suffix[64];
  std::snprintf(
      suffix, sizeof suffix, ".new-%08x-%08x-%d", static_cast<unsigned>(cadence::port::system().processId()),
      static_cast<unsigned>(static_cast<uint64_t>(cadence::port::system().performanceCounter()) & 0xFFFFFFFFu),
      attempt);
  VelString name(target);
  name.append(VelString(suffix));
  return name;
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

  // The report goes into a new file of its own beside memory.log and, once
  // it is whole, replaces memory.log in one rename: nothing that stands
  // under the name (a link, a FIFO, somebody else's file) is ever opened, and
  // the previous report stays until the new one is complete. Without a new
  // file the stream stays failed, the writes below do nothing, and no trace
  // is left.
  const VelString target = withDriveRoot(path);
  VelString draft;
  std::optional<VelOfstream> opened;
  for (int attempt = 0; attempt < kDraftAttempts && !opened; ++attempt) {
    draft = draftName(target, attempt);
    opened.emplace(draft, std::ios_base::out | std::ios_base::trunc, VelOfstream::Creation::newFileOnly);
    if (!opened->isOpen()) opened.reset();
  }
  if (!opened) return;
  VelOfstream& out = *opened;
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
  const bool whole = out.good();  // every line, flushed by std::endl, reached the file
  out.close();
  cadence::port::Files& files = cadence::port::files();
  if (!whole || files.replace(draft.text, target.text) != 0) files.unlink(draft.text);
}

}  // namespace cadence::report

// The spill of guarded reallocation: a block's contents are parked in a
// temporary file so the old block can be freed before the new one is
// obtained. The file is created exclusively (its name is predictable, so an
// existing name or a planted link is never opened: the next name is tried)
// and is gone before any report is written. Where a temporary file loses its
// name as it is opened (POSIX), nothing is deleted by that name afterwards:
// it may be somebody else's file by then.
#include "report/spill.h"

#include <cstring>

#include "cadencehost/vel_string.h"
#include "memory/xal_alloc.h"
#include "memory/xal_internal.h"
#include "platform/files.h"
#include "platform/heap.h"
#include "report/paths.h"

namespace cadence::report {

using guard::failForGood;
using guard::fitsBlock;
using guard::mallocWithManager;

namespace {

constexpr int kSpillFlags = cadence::port::kO_RDWR | cadence::port::kO_CREAT | cadence::port::kO_TEMPORARY |
                            cadence::port::kO_BINARY | cadence::port::kO_EXCL;
constexpr int kSpillPermission = cadence::port::kS_IREAD | cadence::port::kS_IWRITE;
// Names tried (each with the counter read anew) before the open counts as failed.
constexpr int kSpillNameAttempts = 8;

}  // namespace

int32_t spillAndReallocate(void** block, int64_t oldBytes, int64_t bytes, int32_t count, VelMM::IVelMManager* manager) {
  if (!fitsBlock(bytes)) failForGood(bytes, kOomNoMemory);  // no size to obtain after the spill
  VelString path;
  cadence::port::Files& files = cadence::port::files();
  int fd = -1;
  for (int attempt = 0; attempt < kSpillNameAttempts && fd < 0; ++attempt) {
    makeTempFileName(path);
    fd = files.open(path.text ? path.text : u"", kSpillFlags, kSpillPermission);
  }
  if (fd < 0) failForGood(bytes, kOomOpenFailed);
  const char16_t* name = path.text ? path.text : u"";
  auto discardFile = [&] {
    files.close(fd);
    if (!cadence::port::kTemporaryFilesLoseTheirNameAtOnce) files.unlink(name);
  };

  const auto oldCount = static_cast<unsigned int>(oldBytes);
  if (files.write(fd, *block, oldCount) < oldBytes) {
    discardFile();
    failForGood(bytes, kOomWriteFailed);
  }

  cadence::port::sysFree(*block);
  *block = nullptr;
  *block = mallocWithManager(bytes, manager);
  if (!*block) {
    discardFile();
    failForGood(bytes, kOomNoMemory);
  }

  if (files.seek(fd, 0, cadence::port::kSeekSet) != 0 || files.read(fd, *block, oldCount) < oldBytes) {
    discardFile();
    cadence::port::sysFree(*block);
    *block = nullptr;
    failForGood(bytes, kOomReadFailed);
  }

  discardFile();
  if (bytes > oldBytes) {
    std::memset(static_cast<char*>(*block) + oldBytes, 0, static_cast<size_t>(bytes - oldBytes));
  }
  return count;
}

}  // namespace cadence::report

// The output file stream: turns its open mode into the runtime's open flags,
// opens its descriptor stream buffer, and marks the stream failed when the
// file cannot be opened.
#include "io/vel_ofstream.h"

#include "platform/files.h"

namespace {

using Mode = std::ios_base::openmode;
constexpr Mode kIn = std::ios_base::in;
constexpr Mode kOut = std::ios_base::out;
constexpr Mode kTrunc = std::ios_base::trunc;
constexpr Mode kApp = std::ios_base::app;

}  // namespace

int VelOfstream::openFlagsFor(std::ios_base::openmode mode) {
  using namespace cadence::port;
  // An output stream always writes (as a standard output file stream does);
  // the combinations are those of a standard file buffer.
  const Mode access = (mode | kOut) & (kIn | kOut | kTrunc | kApp);
  int flags;
  if (access == kOut || access == (kOut | kTrunc)) {
    flags = kO_WRONLY | kO_CREAT | kO_TRUNC;
  } else if (access == (kOut | kApp)) {
    flags = kO_WRONLY | kO_CREAT | kO_APPEND;
  } else if (access == (kIn | kOut)) {
    flags = kO_RDWR;
  } else if (access == (kIn | kOut | kTrunc)) {
    flags = kO_RDWR | kO_CREAT | kO_TRUNC;
  } else if (access == (kIn | kOut | kApp)) {
    flags = kO_RDWR | kO_CREAT | kO_APPEND;
  } else {
    return -1;  // trunc with app
  }
  return flags | ((mode & std::ios_base::binary) ? kO_BINARY : kO_TEXT);
}

VelOfstream::VelOfstream(const VelString& path, std::ios_base::openmode mode, Creation creation)
    : std::basic_ostream<char>(nullptr) {
  init(&buffer_);
  int flags = openFlagsFor(mode);
  if (flags != -1 && creation == Creation::newFileOnly) {
    flags = (flags & ~(cadence::port::kO_TRUNC | cadence::port::kO_APPEND)) | cadence::port::kO_CREAT |
            cadence::port::kO_EXCL;
  }
  if (flags == -1 || !buffer_.open(path, flags, kOpenPermissions)) {
    setstate(std::ios_base::failbit | std::ios_base::badbit);
  }
}

VelOfstream::~VelOfstream() { close(); }

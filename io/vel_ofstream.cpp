// The output file stream: opens its descriptor stream buffer and marks the
// stream failed when the file cannot be opened.
#include "io/vel_ofstream.h"

#include "platform/files.h"

static_assert(VelOfstream::kOpenFlags ==
              (cadence::port::kO_WRONLY | cadence::port::kO_CREAT | cadence::port::kO_TRUNC | cadence::port::kO_TEXT));
static_assert(VelOfstream::kOpenPermissions == (cadence::port::kS_IREAD | cadence::port::kS_IWRITE));

VelOfstream::VelOfstream(const VelString& path, std::ios_base::openmode)
    : std::basic_ostream<char>(nullptr) {
  init(&buffer_);
  if (!buffer_.open(path, kOpenFlags, kOpenPermissions)) {
    setstate(std::ios_base::failbit | std::ios_base::badbit);
  }
}

VelOfstream::~VelOfstream() { close(); }

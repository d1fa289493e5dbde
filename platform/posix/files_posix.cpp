// Descriptor calls on POSIX. Paths arrive as UTF-16 and are converted to
// UTF-8, each backslash taken as a separator. Temporary files are unlinked as
// soon as they are open; text mode is left to the stream (it writes CR LF).
// Only regular files are kept open; exclusive creations follow no link.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <string>

#include "base/process_wide.h"
#include "platform/files.h"
#include "platform/utf.h"

namespace cadence::port {

const bool kDescriptorsDoTextMode = false;
const bool kTemporaryFilesLoseTheirNameAtOnce = true;

namespace {

std::string nativePath(const char16_t* path) {
  std::string p = utf16ToUtf8(path);
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return p;
}

int nativeFlags(int flags) {
  int out = 0;
  switch (flags & 3) {
    case kO_WRONLY: out = O_WRONLY; break;
    case kO_RDWR: out = O_RDWR; break;
    default: out = O_RDONLY; break;
  }
  if (flags & kO_APPEND) out |= O_APPEND;
  if (flags & kO_CREAT) out |= O_CREAT;
  if (flags & kO_TRUNC) out |= O_TRUNC;
  if (flags & kO_EXCL) out |= O_EXCL | O_NOFOLLOW;
  // Non-blocking only while opening: a FIFO without a reader must not hold
  // the caller; it is refused below like anything that is not a regular file.
  return out | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
}

mode_t nativePermission(int permission) {
  mode_t mode = 0;
  if (permission & kS_IREAD) mode |= S_IRUSR;
  if (permission & kS_IWRITE) mode |= S_IWUSR;
  return mode;
}

class SystemFiles final : public Files {
 public:
  int open(const char16_t* path, int flags, int permission) override {
    const std::string native = nativePath(path);
    if (native.empty()) return -1;
    const int fd = ::open(native.c_str(), nativeFlags(flags), nativePermission(permission));
    if (fd < 0) return -1;
    struct stat info {};
    const int status = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || status < 0 ||
        ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
      ::close(fd);
      errno = EINVAL;
      return -1;
    }
    if (flags & kO_TEMPORARY) ::unlink(native.c_str());
    return fd;
  }
  int read(int fd, void* buffer, unsigned int count) override {
    if (count > INT_MAX) count = INT_MAX;
    return static_cast<int>(::read(fd, buffer, count));
  }
  int write(int fd, const void* buffer, unsigned int count) override {
    if (count > INT_MAX) count = INT_MAX;
    return static_cast<int>(::write(fd, buffer, count));
  }
  int32_t seek(int fd, int32_t offset, int origin) override {
    off_t r = ::lseek(fd, offset, nativeOrigin(origin));
    if (r < 0 || r > INT32_MAX) return -1;
    return static_cast<int32_t>(r);
  }
  int64_t seek64(int fd, int64_t offset, int origin) override {
    return static_cast<int64_t>(::lseek(fd, static_cast<off_t>(offset), nativeOrigin(origin)));
  }
  int close(int fd) override { return ::close(fd); }
  int unlink(const char16_t* path) override {
    const std::string native = nativePath(path);
    return native.empty() ? -1 : ::unlink(native.c_str());
  }
  int replace(const char16_t* from, const char16_t* to) override {
    const std::string nativeFrom = nativePath(from);
    const std::string nativeTo = nativePath(to);
    if (nativeFrom.empty() || nativeTo.empty()) return -1;
    return ::rename(nativeFrom.c_str(), nativeTo.c_str()) == 0 ? 0 : -1;
  }

 private:
  static int nativeOrigin(int origin) {
    return origin == kSeekCur ? SEEK_CUR : origin == kSeekEnd ? SEEK_END : SEEK_SET;
  }
};

}  // namespace

Files& systemFiles() { return cadence::neverDestroyed<SystemFiles>(); }

}  // namespace cadence::port

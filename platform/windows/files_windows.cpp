// Descriptor calls on Windows: the C runtime's _wopen, _read, _write, _lseek,
// _lseeki64, _close and _wunlink. Their flag, permission and origin values are
// the ones declared in platform/files.h, so they pass through unchanged; a
// UTF-16 path is the runtime's wide path as it stands. The runtime's text
// mode writes the CR LF line ends; _O_TEMPORARY files vanish at their
// last close.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <climits>
#include <cstdio>

#include "base/process_wide.h"
#include "platform/files.h"

namespace cadence::port {

const bool kDescriptorsDoTextMode = true;

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide paths are UTF-16 on Windows");
static_assert(kO_WRONLY == _O_WRONLY && kO_RDWR == _O_RDWR && kO_APPEND == _O_APPEND &&
                  kO_TEMPORARY == _O_TEMPORARY && kO_CREAT == _O_CREAT && kO_TRUNC == _O_TRUNC &&
                  kO_EXCL == _O_EXCL && kO_TEXT == _O_TEXT && kO_BINARY == _O_BINARY,
              "open flags equal the runtime's");
static_assert(kS_IREAD == _S_IREAD && kS_IWRITE == _S_IWRITE, "permission bits equal the runtime's");
static_assert(kSeekSet == SEEK_SET && kSeekCur == SEEK_CUR && kSeekEnd == SEEK_END,
              "seek origins equal the runtime's");

const wchar_t* widePath(const char16_t* path) {
  return reinterpret_cast<const wchar_t*>(path ? path : u"");
}

class SystemFiles final : public Files {
 public:
  int open(const char16_t* path, int flags, int permission) override {
    if (!path || !*path) return -1;
    return ::_wopen(widePath(path), flags, permission);
  }
  int read(int fd, void* buffer, unsigned int count) override {
    if (count > INT_MAX) count = INT_MAX;
    return ::_read(fd, buffer, count);
  }
  int write(int fd, const void* buffer, unsigned int count) override {
    if (count > INT_MAX) count = INT_MAX;
    return ::_write(fd, buffer, count);
  }
  int32_t seek(int fd, int32_t offset, int origin) override {
    return static_cast<int32_t>(::_lseek(fd, offset, origin));
  }
  int64_t seek64(int fd, int64_t offset, int origin) override {
    return static_cast<int64_t>(::_lseeki64(fd, offset, origin));
  }
  int close(int fd) override { return ::_close(fd); }
  int unlink(const char16_t* path) override {
    if (!path || !*path) return -1;
    return ::_wunlink(widePath(path));
  }
};

}  // namespace

Files& systemFiles() {
  static cadence::NoDestructor<SystemFiles> files;  // never destroyed: used until the very end
  return *files;
}

}  // namespace cadence::port

// Descriptor calls on Windows: the C runtime's _wopen, _read, _write, _lseek,
// _lseeki64, _close and _wunlink. Their flag, permission and origin values are
// the ones declared in platform/files.h, so they pass through unchanged; a
// UTF-16 path is the runtime's wide path as it stands. The runtime's text
// mode writes the CR LF line ends; _O_TEMPORARY files vanish at their
// last close. An exclusive creation goes through CreateFileW, so a link under
// the name is never followed; only disk files are kept open; a rename that
// replaces is MoveFileExW.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <climits>
#include <cstdint>
#include <cstdio>

#include "base/process_wide.h"
#include "platform/files.h"
#include "platform/windows/windows_api.h"

namespace cadence::port {

const bool kDescriptorsDoTextMode = true;
const bool kTemporaryFilesLoseTheirNameAtOnce = false;

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide paths are UTF-16 on Windows");
static_assert(kO_WRONLY == _O_WRONLY && kO_RDWR == _O_RDWR && kO_APPEND == _O_APPEND && kO_TEMPORARY == _O_TEMPORARY &&
                  kO_CREAT == _O_CREAT && kO_TRUNC == _O_TRUNC && kO_EXCL == _O_EXCL && kO_TEXT == _O_TEXT &&
                  kO_BINARY == _O_BINARY,
              "open flags equal the runtime's");
static_assert(kS_IREAD == _S_IREAD && kS_IWRITE == _S_IWRITE, "permission bits equal the runtime's");
static_assert(kSeekSet == SEEK_SET && kSeekCur == SEEK_CUR && kSeekEnd == SEEK_END, "seek origins equal the runtime's");

const wchar_t* widePath(const char16_t* path) { return reinterpret_cast<const wchar_t*>(path ? path : u""); }

// A new file, created exclusively: a reparse point (a link) already standing
// under the name makes the creation fail instead of being followed. The
// runtime's descriptor is made on the handle with the text, binary and
// append flags of `flags`.
int createNew(const char16_t* path, int flags, int permission) {
  const DWORD access = (flags & _O_RDWR)     ? GENERIC_READ | GENERIC_WRITE
                       : (flags & _O_WRONLY) ? GENERIC_WRITE
                                             : GENERIC_READ;
  DWORD attributes = FILE_FLAG_OPEN_REPARSE_POINT;
  attributes |= (permission & _S_IWRITE) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
  if (flags & _O_TEMPORARY) attributes |= FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE;
  const HANDLE handle = ::CreateFileW(widePath(path), access, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return -1;
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle),
                                   flags & (_O_RDONLY | _O_WRONLY | _O_RDWR | _O_APPEND | _O_TEXT | _O_BINARY));
  if (fd == -1) ::CloseHandle(handle);
  return fd;
}

class SystemFiles final : public Files {
 public:
  int open(const char16_t* path, int flags, int permission) override {
    if (!path || !*path) return -1;
    const int fd = (flags & _O_EXCL) && (flags & _O_CREAT) ? createNew(path, flags, permission)
                                                           : ::_wopen(widePath(path), flags, permission);
    // Only disk files: a pipe, a console or another device is refused.
    if (fd != -1 && ::GetFileType(reinterpret_cast<HANDLE>(::_get_osfhandle(fd))) != FILE_TYPE_DISK) {
      ::_close(fd);
      return -1;
    }
    return fd;
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
  int replace(const char16_t* from, const char16_t* to) override {
    if (!from || !*from || !to || !*to) return -1;
    return ::MoveFileExW(widePath(from), widePath(to), MOVEFILE_REPLACE_EXISTING) ? 0 : -1;
  }
};

}  // namespace

Files& systemFiles() { return cadence::neverDestroyed<SystemFiles>(); }

}  // namespace cadence::port

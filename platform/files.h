// File-descriptor calls of the C runtime (_wopen, _read, _write, _lseek,
// _lseeki64, _close, _wunlink) with UTF-16 paths and the runtime's own flag
// values. Replaceable, so tests can shorten a write or fail an open.
#pragma once

#include <cstdint>

namespace cadence::port {

// Open flags, with the values of the C runtime the library was designed on.
constexpr int kO_RDONLY = 0x0000;
constexpr int kO_WRONLY = 0x0001;
constexpr int kO_RDWR = 0x0002;
constexpr int kO_APPEND = 0x0008;
constexpr int kO_TEMPORARY = 0x0040;  // removed when the last descriptor closes
constexpr int kO_CREAT = 0x0100;
constexpr int kO_TRUNC = 0x0200;
constexpr int kO_EXCL = 0x0400;  // with kO_CREAT: fail when the name exists (never follows a link)
constexpr int kO_TEXT = 0x4000;  // line feeds become CR LF; done by the stream on POSIX
constexpr int kO_BINARY = 0x8000;
// Permission bits.
constexpr int kS_IREAD = 0x0100;
constexpr int kS_IWRITE = 0x0080;
// Seek origins.
constexpr int kSeekSet = 0;
constexpr int kSeekCur = 1;
constexpr int kSeekEnd = 2;

// True where the system's descriptor layer does text mode itself (the
// Windows runtime writes each line feed as CR LF); elsewhere the stream
// above does it, so it happens exactly once either way.
extern const bool kDescriptorsDoTextMode;
// True where a file opened with kO_TEMPORARY loses its name as it is opened
// (POSIX unlinks it at once), so nothing may be deleted by that name later:
// it could be somebody else's file by then.
extern const bool kTemporaryFilesLoseTheirNameAtOnce;

class Files {
 public:
  virtual ~Files() = default;
  // Returns a descriptor, or -1. A null path counts as the empty path. Only
  // regular files are opened: a FIFO, a device or a directory is refused
  // (without waiting for a FIFO's other end). With kO_EXCL the name must be
  // new: whatever stands under it, a link included, is neither followed nor
  // opened.
  virtual int open(const char16_t* path, int flags, int permission) = 0;
  virtual int read(int fd, void* buffer, unsigned int count) = 0;
  virtual int write(int fd, const void* buffer, unsigned int count) = 0;
  virtual int32_t seek(int fd, int32_t offset, int origin) = 0;    // _lseek
  virtual int64_t seek64(int fd, int64_t offset, int origin) = 0;  // _lseeki64
  virtual int close(int fd) = 0;
  virtual int unlink(const char16_t* path) = 0;
  // Renames `from` to `to` in one step, replacing whatever stands under `to`
  // (a link is replaced, not followed). 0, or -1 with nothing changed.
  virtual int replace(const char16_t* from, const char16_t* to) = 0;
};

Files& files();
Files* setFiles(Files* replacement);
Files& systemFiles();

}  // namespace cadence::port

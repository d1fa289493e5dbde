// What cadence-host asks of the operating system, one file per system
// (host_os_posix.cpp, host_os_windows.cpp): the dynamic loader, files read
// only when they are regular, the user's state directory, memory figures and
// the program's arguments.
#pragma once

#include <cstddef>
#include <cstdint>

#include <QString>
#include <QStringList>

namespace cadence::host {

// The system's loader (dlopen with RTLD_NOW | RTLD_LOCAL; LoadLibraryExW with
// the module's folder and the system's, error boxes off). Failures give the
// loader's one-line reason.
void* openDynamicLibrary(const QString& path, QString* reason);
void* findLibrarySymbol(void* library, const char* name, QString* reason);
void closeDynamicLibrary(void* library);

// A file opened for reading only if it is a regular one: a FIFO, a device or
// a directory is refused at once, never waited on. Reads are by offset.
class RegularFile {
 public:
  explicit RegularFile(const QString& path);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  bool isOpen() const { return open_; }
  uint64_t size() const { return size_; }
  // All `n` bytes at `offset`, or false.
  bool readAt(uint64_t offset, void* out, size_t n) const;

 private:
  bool open_ = false;
  intptr_t handle_ = 0;
  uint64_t size_ = 0;
};

// Where cadence-host keeps what is the user's own (memory.log, unless the
// configuration names another logs directory): $XDG_STATE_HOME/cadence-host,
// else ~/.local/state/cadence-host, made 0700 and refused unless it is a
// directory of this user's that no one else may write to;
// %LOCALAPPDATA%\cadence-host on Windows. Empty when there is no such place.
QString userStateDirectory();

// Memory figures of this process and of the machine, in bytes; those the
// system does not give stay 0 (Windows has none for a process's swap).
struct MemoryFigures {
  uint64_t processResident = 0;
  uint64_t processSwapped = 0;
  uint64_t physicalTotal = 0;
  uint64_t swapTotal = 0;
};
MemoryFigures readMemoryFigures();

// The program's arguments, its name first: argv as UTF-8 whatever the locale
// (bytes that are not UTF-8 read as U+FFFD); on Windows the UTF-16 command
// line, split as Qt 5 and 6 split it.
QStringList programArguments(int argc, char** argv);

}  // namespace cadence::host

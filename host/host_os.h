// What cadence-host asks of the operating system, one file per system: the
// loader, regular files, the user's state directory, memory figures and the
// program's arguments.
#pragma once

#include <cstddef>
#include <cstdint>

#include <QString>
#include <QStringList>

namespace cadence::host {

// dlopen(RTLD_NOW | RTLD_LOCAL), or LoadLibraryExW with the module's folder
// and the system's and no error boxes; failures give the loader's reason.
void* openDynamicLibrary(const QString& path, QString* reason);
void* findLibrarySymbol(void* library, const char* name, QString* reason);
void closeDynamicLibrary(void* library);

// A file opened for reading only if it is regular: a FIFO, device or
// directory is refused at once, never waited on.
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

// The user's own directory for memory.log: $XDG_STATE_HOME/cadence-host, else
// ~/.local/state/cadence-host, made 0700 and refused unless this user's and
// closed to others' writes; %LOCALAPPDATA%\cadence-host on Windows. Empty
// when there is no such place.
QString userStateDirectory();

// Bytes; those the system does not give stay 0 (Windows: a process's swap).
struct MemoryFigures {
  uint64_t processResident = 0;
  uint64_t processSwapped = 0;
  uint64_t physicalTotal = 0;
  uint64_t swapTotal = 0;
};
MemoryFigures readMemoryFigures();

// The arguments, the program's name first: argv as UTF-8 whatever the locale;
// on Windows the UTF-16 command line, split as Qt 5 and 6 split it.
QStringList programArguments(int argc, char** argv);

}  // namespace cadence::host

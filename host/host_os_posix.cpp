// The host's system calls on POSIX.
#include "host_os.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QFile>

namespace cadence::host {
namespace {

QString loaderError(const char* fallback) {
  const char* error = dlerror();
  return QString::fromLocal8Bit(error ? error : fallback);
}

// Makes `path` (absolute) and every missing parent with mode 0700.
bool makeDirectories(const std::string& path) {
  for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1)) {
    if (::mkdir(path.substr(0, at).c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

// A real directory (no link), this user's, closed to everyone else's writes.
bool isOwnDirectory(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
         (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string absoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value && value[0] == '/' ? value : "";
}

// "VmRSS:    1234 kB" -> 1234 * 1024 when the line starts with `field`.
bool readKilobyteField(const char* line, const char* field, uint64_t* bytes) {
  const size_t length = std::strlen(field);
  unsigned long long kilobytes = 0;
  if (std::strncmp(line, field, length) != 0 || std::sscanf(line + length, " %llu", &kilobytes) != 1) return false;
  *bytes = kilobytes * 1024u;
  return true;
}

}  // namespace

void* openDynamicLibrary(const QString& path, QString* reason) {
  dlerror();
  void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) *reason = loaderError("unknown loader error");
  return handle;
}

void* findLibrarySymbol(void* library, const char* name, QString* reason) {
  dlerror();
  void* symbol = dlsym(library, name);
  if (!symbol) *reason = loaderError("symbol not found");
  return symbol;
}

void closeDynamicLibrary(void* library) { dlclose(library); }

RegularFile::RegularFile(const QString& path) {
  // Opened without waiting (a FIFO would hold the open until a writer came),
  // then kept only if it is a regular file.
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd == -1) return;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return;
  }
  open_ = true;
  handle_ = fd;
  size_ = info.st_size > 0 ? static_cast<uint64_t>(info.st_size) : 0;
}

RegularFile::~RegularFile() {
  if (open_) ::close(static_cast<int>(handle_));
}

bool RegularFile::readAt(uint64_t offset, void* out, size_t n) const {
  auto* at = static_cast<char*>(out);
  while (n > 0) {
    const ssize_t got = ::pread(static_cast<int>(handle_), at, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    at += got;
    offset += static_cast<uint64_t>(got);
    n -= static_cast<size_t>(got);
  }
  return true;
}

QString userStateDirectory() {
  std::string base = absoluteVariable("XDG_STATE_HOME");
  if (base.empty()) {
    const std::string home = absoluteVariable("HOME");
    if (home.empty()) return {};
    base = home + "/.local/state";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  const std::string directory = base + "/cadence-host";
  if (!makeDirectories(directory) || !isOwnDirectory(directory)) return {};
  return QFile::decodeName(QByteArray(directory.c_str()));
}

MemoryFigures readMemoryFigures() {
  MemoryFigures figures;
  if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
      readKilobyteField(line, "VmRSS:", &figures.processResident) ||
          readKilobyteField(line, "VmSwap:", &figures.processSwapped);
    }
    std::fclose(status);
  }
  struct sysinfo info {};
  if (sysinfo(&info) == 0) {
    figures.physicalTotal = static_cast<uint64_t>(info.totalram) * info.mem_unit;
    figures.swapTotal = static_cast<uint64_t>(info.totalswap) * info.mem_unit;
  }
  return figures;
}

QStringList programArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromUtf8(argv[i]);
  return arguments;
}

}  // namespace cadence::host

// The user's state directory on POSIX, made for its owner alone.
#include "host/user_state_directory.h"

#include <QByteArray>
#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace cadence::host {
namespace {

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

}  // namespace

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

}  // namespace cadence::host

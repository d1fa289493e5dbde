// Minimal stand-in until the path helpers exist.
#include "memory/paths.h"

void normalizePath(VelString&) {}
VelString& appendPathComponent(VelString& path, const VelString&) { return path; }
VelString withDriveRoot(const VelString& path) { return path; }
const VelString& tempDirectory() {
  static VelString empty;
  return empty;
}
bool makeTempFileName(VelString&) { return true; }

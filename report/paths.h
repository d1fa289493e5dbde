// Path helpers working in place on VelString paths (backslash separators),
// and the names of temporary spill files.
#pragma once

#include "cadencehost/vel_string.h"

namespace cadence::report {

void normalizePath(VelString& path);
VelString& appendPathComponent(VelString& path, const VelString& component);
VelString withDriveRoot(const VelString& path);
const VelString& tempDirectory();
// Replaces `path` with the full path of a new spill file; returns true.
bool makeTempFileName(VelString& path);

}  // namespace cadence::report

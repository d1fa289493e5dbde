// Path helpers on VelString paths (backslash separators, edited in place)
// and the full path of a temporary spill file.
#include "report/paths.h"

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/process_wide.h"
#include "cadencehost/vel_ptr.h"
#include "cadencehost/vel_services.h"
#include "memory/guarded_new.h"
#include "platform/system.h"
#include "report/report_services.h"

namespace cadence::report {

namespace {

// The process-wide empty string returned without a directory service.
const VelString& emptyPath() {
  return builtOnFirstUse<[] { return VelString(); }>();
}

// The process-wide separator string.
const VelString& separator() {
  return builtOnFirstUse<[] { return VelString('\\'); }>();
}

}  // namespace

void normalizePath(VelString& path) {
  int32_t length = path.length();
  if (length == 0) return;
  if (!path.ownsText()) path.assign(path.text, VelString::kMeasure);  // never edit borrowed text
  char16_t* p = path.text;

  // "//c/dir" becomes "c:\dir".
  // Only a letter is a drive: "//./x" stays a path of its own.
  const auto isLetter = [](char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
  if (length >= 4 && p[0] == u'/' && p[1] == u'/' && isLetter(p[2]) && p[3] == u'/') {
    p[0] = p[2];
    p[1] = u':';
    p[2] = u'\\';
    for (int32_t i = 3; i < length; ++i) p[i] = p[i + 1];
    --length;
  }
  for (int32_t i = 0; i < length; ++i) {
    if (p[i] == u'/') p[i] = u'\\';
  }
  while (length > 1 && p[length - 1] == u'\\') --length;
  p[length] = 0;
}

VelString& appendPathComponent(VelString& path, const VelString& component) {
  if (path.isEmpty()) {
    path = component;
  } else {
    const int32_t length = path.length();
    int32_t lastSeparator = -1;
    for (int32_t i = length - 1; i >= 0; --i) {
      if (path.text[i] == u'\\') {
        lastSeparator = i;
        break;
      }
    }
    if (lastSeparator != length - 1) path.append(separator());
    path.append(component);
  }
  normalizePath(path);
  return path;
}

VelString withDriveRoot(const VelString& path) {
  VelString result(path);
  if (path.length() == 2 && path.text[1] == u':') result.append(separator());
  return result;
}

const VelString& tempDirectory() {
  IVelDirService* service = dirServiceHolder().get();
  if (service) return service->directoryFor(IVelDirService::kTempDirectoryName);
  return emptyPath();
}

bool makeTempFileName(VelString& path) {
  const int64_t counter = cadence::port::system().performanceCounter();
  const uint32_t processId = cadence::port::system().processId();

  SPtr<IDataStore, IVelUnknown> store;
  path.clear();
  // The configured directory is used as it is, without normalising it.
  if (store) path = store->getString(IDataStore::kTempDirectoryKey, 0);
  if (path.isEmpty()) path = withDriveRoot(tempDirectory());
  // With no directory configured at all, the system's: never the root of the
  // current drive, which the bare name part would name.
  if (path.isEmpty()) {
    const std::u16string system =
        guard::failForGoodOnBadAlloc([] { return cadence::port::system().temporaryDirectory(); });
    path.assign(system.c_str(), VelString::kMeasure);
  }

  char name[32];
  std::snprintf(name, sizeof name, "\\vel-%08x-%08x-temp", static_cast<unsigned>(processId),
                static_cast<unsigned>(static_cast<uint64_t>(counter) & 0xFFFFFFFFu));
  path.append(VelString(name));
  return true;
}

}  // namespace cadence::report

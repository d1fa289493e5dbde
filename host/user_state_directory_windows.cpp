// The user's state directory on Windows, under the user's own local
// application data.
#include "host/user_state_directory.h"

#include "platform/windows/windows_api.h"

#include <string>

namespace cadence::host {

QString userStateDirectory() {
  wchar_t base[MAX_PATH + 1] = {};
  const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", base, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  const std::wstring directory = std::wstring(base, length) + L"\\cadence-host";
  if (!CreateDirectoryW(directory.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
  const DWORD attributes = GetFileAttributesW(directory.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return {};
  }
  return QString::fromWCharArray(directory.c_str(), static_cast<int>(directory.size()));
}

}  // namespace cadence::host

// The host's system calls on Windows. Reasons from the loader are
// "<path>: <system message>".
#include "host_os.h"

#include <windows.h>  // lean, without min and max (host/CMakeLists.txt)
// After windows.h, which they need.
#include <psapi.h>
#include <shellapi.h>

#include <string>

#include <QDir>

#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

// The system's text for `code`, on one line.
QString systemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  QString message = length ? QString::fromWCharArray(text, static_cast<int>(length)).simplified() : QString();
  if (text) LocalFree(text);
  return message.isEmpty() ? QStringLiteral("error %1").arg(code) : message;
}

const wchar_t* wide(const QString& text) { return reinterpret_cast<const wchar_t*>(text.utf16()); }

}  // namespace

void* openDynamicLibrary(const QString& path, QString* reason) {
  const QString native = QDir::toNativeSeparators(path);
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  // The module's own folder and the system's, never the current directory
  // or PATH, for the libraries it needs (the path is a full one).
  HMODULE module =
      LoadLibraryExW(wide(native), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  const DWORD error = GetLastError();
  SetThreadErrorMode(previousMode, nullptr);
  if (!module) *reason = path + QStringLiteral(": ") + systemMessage(error);
  return reinterpret_cast<void*>(module);
}

void* findLibrarySymbol(void* library, const char* name, QString* reason) {
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(library), name);
  if (!symbol) *reason = QString::fromLatin1(name) + QStringLiteral(": ") + systemMessage(GetLastError());
  return reinterpret_cast<void*>(symbol);
}

void closeDynamicLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

RegularFile::RegularFile(const QString& path) {
  const QString native = QDir::toNativeSeparators(path);
  const HANDLE file = CreateFileW(wide(native), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  LARGE_INTEGER size{};
  // Only disk files: a pipe, a console or another device is refused.
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return;
  }
  open_ = true;
  handle_ = reinterpret_cast<intptr_t>(file);
  size_ = size.QuadPart > 0 ? static_cast<uint64_t>(size.QuadPart) : 0;
}

RegularFile::~RegularFile() {
  if (open_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool RegularFile::readAt(uint64_t offset, void* out, size_t n) const {
  auto* at = static_cast<char*>(out);
  while (n > 0) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(offset);
    where.OffsetHigh = static_cast<DWORD>(offset >> 32);
    const DWORD ask = n > 0x40000000u ? 0x40000000u : static_cast<DWORD>(n);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), at, ask, &got, &where) || got == 0) return false;
    at += got;
    offset += got;
    n -= got;
  }
  return true;
}

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

MemoryFigures readMemoryFigures() {
  MemoryFigures figures;
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
    figures.processResident = counters.WorkingSetSize;
  }
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (GlobalMemoryStatusEx(&status)) {
    // The machine's swap: its commit limit beyond physical memory.
    figures.physicalTotal = status.ullTotalPhys;
    figures.swapTotal =
        status.ullTotalPageFile > status.ullTotalPhys ? status.ullTotalPageFile - status.ullTotalPhys : 0;
  }
  return figures;
}

QStringList programArguments(int, char**) {
  // Qt 4's own split also breaks at line feeds inside an argument.
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  QStringList arguments;
  for (int i = 0; words && i < count; ++i) arguments << QString::fromWCharArray(words[i]);
  LocalFree(words);
  return arguments;
}

}  // namespace cadence::host

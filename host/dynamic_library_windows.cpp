// The dynamic loader on Windows: LoadLibraryExW on the full UTF-16 path,
// searching the module's folder and the system's for what it needs (with the
// system's error boxes off, so a broken library is a reason, never a dialog),
// GetProcAddress, FreeLibrary. Reasons are "<path>: <system message>".
#include "host/dynamic_library.h"

#include "platform/windows/windows_api.h"
#include "qt/qt_versions.h"

#include <QDir>

namespace cadence::host {
namespace {

// The system's text for `code`, on one line.
QString systemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  QString message = length ? QString::fromWCharArray(text, static_cast<int>(length)).simplified() : QString();
  if (text) LocalFree(text);
  if (message.isEmpty()) message = QStringLiteral("error %1").arg(code);
  return message;
}

}  // namespace

void* openDynamicLibrary(const QString& path, QString* reason) {
  const QString native = QDir::toNativeSeparators(path);
  DWORD previousMode = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
  // The module's own folder and the system's, never the current directory
  // or PATH, for the libraries it needs (the path is a full one).
  HMODULE module = LoadLibraryExW(reinterpret_cast<const wchar_t*>(native.utf16()), nullptr,
                                  LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  const DWORD error = GetLastError();
  SetThreadErrorMode(previousMode, nullptr);
  if (!module) *reason = path + QStringLiteral(": ") + systemMessage(error);
  return reinterpret_cast<void*>(module);
}

void* findLibrarySymbol(void* library, const char* name, QString* reason) {
  FARPROC symbol = GetProcAddress(static_cast<HMODULE>(library), name);
  if (!symbol) {
    *reason = QString::fromLatin1(name) + QStringLiteral(": ") + systemMessage(GetLastError());
    return nullptr;
  }
  return reinterpret_cast<void*>(symbol);
}

void closeDynamicLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace cadence::host

// The libraries a module file says it needs, read from the file itself
// (ELF: its DT_NEEDED entries; PE: its import directory), and the Qt major
// version they name. Read before loading, so a module built against another
// Qt never runs in this process.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cadence::host {

// The needed library names, or false with a one-line reason when the bytes
// are not a well-formed 64-bit ELF or PE image. Every offset is checked.
bool readModuleImports(const QByteArray& image, QStringList* imports, QString* reason);
// The same, read from the file at `path`: only a regular file is opened (a
// FIFO or a device is refused at once), and only the bytes its headers lead
// to are read, never the whole file.
bool readModuleFileImports(const QString& path, QStringList* imports, QString* reason);

// The names a PE module file imports by name, each as "library!name"
// (false for an ELF file, whose symbols are not read here).
bool readModuleFileImportedSymbols(const QString& path, QStringList* symbols, QString* reason);

struct QtLinkage {
  int major = 0;    // 0: the module links no Qt core library
  QString library;  // the name it links, e.g. libQt5Core.so.5 or Qt6Core.dll
};

QtLinkage qtLinkageOf(const QStringList& imports);

// The two C++ compiler families, which lay the contract's objects out
// differently: a host loads modules of its own family only.
enum class CompilerFamily {
  kUnknown,
  kGnu,   // GCC, Clang, mingw-w64: the Itanium C++ ABI
  kMsvc,  // Visual Studio, clang-cl: the MSVC C++ ABI
};

// "GCC-compatible (Itanium C++ ABI)", "MSVC-compatible (MSVC C++ ABI)" or
// "not known".
const char* familyName(CompilerFamily family);

// This program's own family (from the build).
CompilerFamily thisProgramFamily();

// The family that built the module file at `path`: an ELF file is GCC's or
// Clang's; a PE image tells by the C++ names it imports (MSVC's begin with
// '?', the Itanium ABI's with "_Z") or else by its C runtime (vcruntime,
// ucrtbase, api-ms-win-crt for MSVC; msvcrt, libstdc++, libgcc or
// libwinpthread for mingw-w64). kUnknown when neither tells or the file
// cannot be read.
CompilerFamily moduleFileFamily(const QString& path);

}  // namespace cadence::host

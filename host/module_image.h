// What a module file says about itself, read from the file without loading
// it: the names it exports (ELF: defined dynamic symbols neither local nor
// hidden; PE: the export directory), the libraries it needs (ELF: DT_NEEDED;
// PE: the import directory), the Qt major they name and the compiler family
// that built it. Every offset is checked against the file's size, and from a
// file only a regular one is opened and only the bytes its headers lead to
// are read.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cadence::host {

// Sorted, each once; an exported address without a name is "#<ordinal>".
// False, with a one-line reason, when the bytes are not a well-formed 64-bit
// ELF or PE image.
bool readModuleExports(const QByteArray& image, QStringList* exports, QString* reason);
bool readModuleFileExports(const QString& path, QStringList* exports, QString* reason);

// The needed library names, in the file's order.
bool readModuleImports(const QByteArray& image, QStringList* imports, QString* reason);
bool readModuleFileImports(const QString& path, QStringList* imports, QString* reason);

// The names a PE module file imports by name, each "library!name" (false for
// an ELF file, whose symbols are not read here).
bool readModuleFileImportedSymbols(const QString& path, QStringList* symbols, QString* reason);

struct QtLinkage {
  int major = 0;    // 0: the module links no Qt core library
  QString library;  // the name it links, e.g. libQt5Core.so.5 or Qt6Core.dll
};
QtLinkage qtLinkageOf(const QStringList& imports);

// The two C++ compiler families lay the contract's objects out differently:
// a host loads modules of its own family only.
enum class CompilerFamily {
  kUnknown,
  kGnu,   // GCC, Clang, mingw-w64: the Itanium C++ ABI
  kMsvc,  // Visual Studio, clang-cl: the MSVC C++ ABI
};
const char* familyName(CompilerFamily family);
CompilerFamily thisProgramFamily();

// An ELF file is GCC's or Clang's; a PE image tells by the C++ names it
// imports (MSVC's begin with '?', the Itanium ABI's with "_Z"), or else by its
// C runtime (vcruntime, ucrtbase, api-ms-win-crt, msvcp for MSVC; msvcrt,
// libstdc++, libgcc, libwinpthread for mingw-w64). kUnknown when neither
// tells or the file cannot be read.
CompilerFamily moduleFileFamily(const QString& path);

}  // namespace cadence::host

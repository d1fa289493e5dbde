// What a 64-bit ELF or PE module file says about itself, read without
// loading it: its exports, the libraries it needs, their Qt major and the
// compiler family that built it. Every offset is checked against the size;
// only regular files are opened.
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

// ELF is GCC's or Clang's; a PE image tells by its imported C++ names ('?'
// MSVC, "_Z" Itanium) or else its C runtime. kUnknown when neither tells.
CompilerFamily moduleFileFamily(const QString& path);

}  // namespace cadence::host

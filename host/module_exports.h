// The names a module file exports, read from the file itself without loading
// it: the ELF dynamic symbol table (defined symbols that are neither local
// nor hidden), or the PE export directory. A module of the framework exports
// EntryPoint alone: anything else can bind to a host's own copy of the
// runtime, or the host's to the module's.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace cadence::host {

// The exported names, sorted; an exported address without a name counts as
// "#<ordinal>". False, with a one-line reason, when the bytes are not a
// well-formed 64-bit ELF or PE image. Every offset is checked.
bool readModuleExports(const QByteArray& image, QStringList* exports, QString* reason);
// The same, read from the file at `path`: a regular file only, and only the
// bytes its headers lead to.
bool readModuleFileExports(const QString& path, QStringList* exports, QString* reason);

}  // namespace cadence::host

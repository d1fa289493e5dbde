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

struct QtLinkage {
  int major = 0;    // 0: the module links no Qt core library
  QString library;  // the name it links, e.g. libQt5Core.so.5 or Qt6Core.dll
};

QtLinkage qtLinkageOf(const QStringList& imports);

}  // namespace cadence::host

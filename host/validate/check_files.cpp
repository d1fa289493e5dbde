// The checks read from the module file without loading it: what it exports
// and which Qt core library it links.
#include <QStringList>
#include <QtGlobal>

#include "module_image.h"
#include "validate/checks.h"

namespace cadence::host::validate {
namespace {

constexpr int kShownNames = 5;
// This program's Qt major version (QT_VERSION holds it on every Qt).
constexpr int kQtMajor = QT_VERSION >> 16;

std::string nameList(const QStringList& names) {
  std::string text;
  for (int i = 0; i < names.size() && i < kShownNames; ++i) {
    text += (i ? ", " : "") + std::string(names[i].toUtf8().constData());
  }
  if (names.size() > kShownNames) text += " and " + std::to_string(names.size() - kShownNames) + " more";
  return text;
}

}  // namespace

Verdict checkExports(const CheckSubject& subject) {
  QStringList exports;
  QString reason;
  if (!readModuleFileExports(subject.modulePath, &exports, &reason)) {
    return Verdict{false, "cannot read the export table: " + std::string(reason.toUtf8().constData())};
  }
  const QString entryPoint = QString::fromLatin1("EntryPoint");
  const bool hasEntryPoint = exports.removeAll(entryPoint) > 0;
  if (!hasEntryPoint) {
    return Verdict{false, exports.isEmpty() ? std::string("exports nothing: no EntryPoint")
                                            : "no EntryPoint among its exports: " + nameList(exports)};
  }
  if (!exports.isEmpty()) {
    return Verdict{false, "exports " + nameList(exports) +
                              " besides EntryPoint: a host's own runtime can bind to "
                              "them (export EntryPoint alone)"};
  }
  return Verdict{true, "EntryPoint alone"};
}

Verdict checkQtMajor(const CheckSubject& subject) {
  QStringList imports;
  QString reason;
  if (!readModuleFileImports(subject.modulePath, &imports, &reason)) {
    return Verdict{false, "cannot read the import table: " + std::string(reason.toUtf8().constData())};
  }
  const QtLinkage qt = qtLinkageOf(imports);
  const std::string library = qt.library.toUtf8().constData();
  if (qt.major == 0) return Verdict{true, "links no Qt core library"};
  if (qt.major != kQtMajor) {
    return Verdict{false, "built with Qt " + std::to_string(qt.major) + " (" + library +
                              "), this cadence-host with Qt " + std::to_string(kQtMajor) +
                              ": in a host of another Qt major its timers never alert"};
  }
  return Verdict{true, "Qt " + std::to_string(qt.major) + " (" + library + "), as this cadence-host"};
}

}  // namespace cadence::host::validate

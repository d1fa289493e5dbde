// The module file itself, read with the readers cadence-host validate uses:
// its export table holds EntryPoint and nothing else, so a host's own copy
// of the runtime can never bind to the module's (or the reverse); and a
// Windows module imports no QtCore function with wchar_t in its signature
// (Qt 4's MSVC builds treat wchar_t as unsigned short, so such a function
// would bind to no host's QtCore4.dll).
#include <gtest/gtest.h>

#include <QFile>

#include "host/module_image.h"

namespace {

TEST(ModuleExports, OnlyEntryPoint) {
  QFile file(QString::fromUtf8(VEL_MODULE_PATH));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << VEL_MODULE_PATH;
  QStringList exports;
  QString reason;
  ASSERT_TRUE(cadence::host::readModuleExports(file.readAll(), &exports, &reason)) << reason.toStdString();
  EXPECT_EQ(exports, QStringList() << QString::fromLatin1("EntryPoint"));
}

TEST(ModuleExports, NoQtCoreImportTakesAWideCharacter) {
  QStringList symbols;
  QString reason;
  if (!cadence::host::readModuleFileImportedSymbols(QString::fromUtf8(VEL_MODULE_PATH), &symbols, &reason)) {
    GTEST_SKIP() << "an ELF module: the wide-character difference is that of Qt 4's MSVC builds";
  }
  int fromQt = 0;
  for (const QString& symbol : symbols) {
    if (!symbol.startsWith(QLatin1String("Qt"), Qt::CaseInsensitive)) continue;
    ++fromQt;
    const QString name = symbol.section(QLatin1Char('!'), 1);
    // wchar_t is "_W" in an MSVC name and 'w' after the name's parts in an
    // Itanium one (QString::fromWCharArray: ...EPKwi).
    const bool wide = name.startsWith(QLatin1Char('?'))
                          ? name.contains(QLatin1String("_W"))
                          : name.contains(QLatin1String("EPKw")) || name.contains(QLatin1String("EPw"));
    EXPECT_FALSE(wide) << symbol.toStdString();
  }
  EXPECT_GT(fromQt, 0) << "the module imports QtCore by name";
}

}  // namespace

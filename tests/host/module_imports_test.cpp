// Reading a module's needed libraries (and its exports) from the file: the
// real module names its Qt core library, and damaged or cut-off files are
// refused without reading outside the bytes given.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include <random>

#include "host/module_image.h"
#include "qt/qt_versions.h"

namespace cadence::host {
namespace {

QByteArray moduleBytes() {
  QFile file(QStringLiteral(VEL_MODULE_PATH));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ModuleImports, TheBuiltModuleNamesTheQtCoreLibraryOfThisBuild) {
  QStringList imports;
  QString reason;
  ASSERT_TRUE(readModuleImports(moduleBytes(), &imports, &reason)) << reason.toStdString();
  const QtLinkage qt = qtLinkageOf(imports);
  EXPECT_EQ(qt.major, QT_VERSION_MAJOR) << imports.join(QStringLiteral(" ")).toStdString();
  EXPECT_TRUE(imports.contains(qt.library));

  // From the file itself the same; nothing but a regular file is opened.
  QStringList fromFile;
  ASSERT_TRUE(readModuleFileImports(QStringLiteral(VEL_MODULE_PATH), &fromFile, &reason)) << reason.toStdString();
  EXPECT_EQ(fromFile, imports);
  EXPECT_FALSE(readModuleFileImports(QFileInfo(QStringLiteral(VEL_MODULE_PATH)).absolutePath(), &fromFile, &reason));
  EXPECT_EQ(reason, "not a regular file that can be read");
}

TEST(ModuleImports, CutOffAndDamagedFilesAreRefusedOrReadWithinBounds) {
  const QByteArray whole = moduleBytes();
  ASSERT_GT(whole.size(), 4096);
  QStringList imports;
  QString reason;
  for (int length = 0; length < whole.size(); length += 1 + length / 8) {
    // A copy of exactly `length` bytes, so a read past it is caught by ASan.
    readModuleImports(QByteArray(whole.constData(), length), &imports, &reason);
    readModuleExports(QByteArray(whole.constData(), length), &imports, &reason);
  }
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    QByteArray damaged = whole;
    for (int i = 0; i < 8; ++i) {
      // Damage the headers and the tables at the end, where the offsets live.
      const int position = random() % 2 ? random() % 128 : damaged.size() - 1 - random() % 4096;
      damaged[position] = static_cast<char>(random());
    }
    readModuleImports(damaged, &imports, &reason);
    readModuleExports(damaged, &imports, &reason);
  }
  EXPECT_FALSE(readModuleImports("MZ", &imports, &reason));
  EXPECT_FALSE(readModuleImports("plain text", &imports, &reason));
  EXPECT_EQ(reason, QStringLiteral("neither an ELF nor a PE file"));
}

TEST(ModuleImports, TheBuiltModuleIsOfThisProgramsCompilerFamily) {
  EXPECT_EQ(moduleFileFamily(QStringLiteral(VEL_MODULE_PATH)), thisProgramFamily());
  EXPECT_EQ(moduleFileFamily(QFileInfo(QStringLiteral(VEL_MODULE_PATH)).absolutePath()), CompilerFamily::kUnknown);
}

TEST(ModuleImports, OnlyAQtCoreLibraryCountsAsTheModulesQt) {
  const struct {
    const char* imports;  // comma-separated
    int major;
  } cases[] = {
      {"libc.so.6,libQt5Core.so.5", 5},
      {"KERNEL32.dll,Qt6Core.dll", 6},
      {"libc.so.6,libQtCore.so.4", 4},
      {"KERNEL32.dll,QtCore4.dll", 4},
      {"QtCored4.dll", 4},
      {"libQtNetwork.so.4,QtXml4.dll", 0},
      {"libQt5Network.so.5,libQt5CoreExtras.so.5,libc.so.6", 0},
      {"", 0},
  };
  for (const auto& each : cases) {
    const QStringList imports =
        *each.imports ? QString::fromLatin1(each.imports).split(QLatin1Char(',')) : QStringList();
    EXPECT_EQ(qtLinkageOf(imports).major, each.major) << each.imports;
  }
  EXPECT_EQ(qtLinkageOf(QStringList() << "Qt5Cored.dll").library, QStringLiteral("Qt5Cored.dll"));
}

}  // namespace
}  // namespace cadence::host

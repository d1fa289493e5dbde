// The module's export table holds EntryPoint and nothing else, so a host's
// own copy of the runtime can never bind to the module's (or the reverse).
// Reads the module file directly, in the system's format (ELF or PE), with
// the reader cadence-host validate uses.
#include <gtest/gtest.h>

#include <QFile>

#include "host/module_exports.h"

namespace {

TEST(ModuleExports, OnlyEntryPoint) {
  QFile file(QString::fromUtf8(VEL_MODULE_PATH));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << VEL_MODULE_PATH;
  QStringList exports;
  QString reason;
  ASSERT_TRUE(cadence::host::readModuleExports(file.readAll(), &exports, &reason)) << reason.toStdString();
  EXPECT_EQ(exports, QStringList() << QString::fromLatin1("EntryPoint"));
}

}  // namespace

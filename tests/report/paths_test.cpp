// Path normalisation and joining, and the names of spill files.
#include <gtest/gtest.h>

#include "report/paths.h"
#include "report/report_services.h"
#include "tests/support/fake_platform.h"
#include "tests/support/service_fakes.h"
#include "tests/support/test_host.h"

namespace {

using namespace cadence::report;

std::u16string textOf(const VelString& s) { return s.text ? std::u16string(s.text) : u""; }

std::u16string normalized(const char* path) {
  VelString s(path);
  normalizePath(s);
  return textOf(s);
}

TEST(PathHelpers, NormaliseJoinAndDriveRoot) {
  EXPECT_EQ(normalized("c:/logs/today/"), u"c:\\logs\\today");
  EXPECT_EQ(normalized("//c/dir/sub"), u"c:\\dir\\sub");
  EXPECT_EQ(normalized("//./x"), u"\\\\.\\x");  // only a letter is a drive: it stays absolute
  EXPECT_EQ(normalized("c:\\"), u"c:");
  EXPECT_EQ(normalized("dir\\\\"), u"dir");
  EXPECT_EQ(normalized("\\"), u"\\");

  static const char16_t literal[] = u"c:/x/";  // borrowed text is never written into
  VelString borrowed = VelString::borrowing(literal);
  normalizePath(borrowed);
  EXPECT_EQ(textOf(borrowed), u"c:\\x");
  EXPECT_EQ(std::u16string(literal), u"c:/x/");

  const VelString log("memory.log");
  VelString dir("c:/logs/");
  normalizePath(dir);
  EXPECT_EQ(textOf(appendPathComponent(dir, log)), u"c:\\logs\\memory.log");
  VelString empty;
  EXPECT_EQ(textOf(appendPathComponent(empty, log)), u"memory.log");

  VelString drive("c:\\");
  normalizePath(drive);
  EXPECT_EQ(textOf(withDriveRoot(drive)), u"c:\\");
  EXPECT_EQ(textOf(withDriveRoot(VelString("cd"))), u"cd");
}

class SpillNames : public ::testing::Test {
 protected:
  void SetUp() override {
    dirServiceHolder().forget();
    system.counter = 0x70000001e;  // the next read is 0x70000001f: only the low 32 bits count
  }
  void TearDown() override { dirServiceHolder().forget(); }

  cadence::test::FixedSystem system;  // process id 0x1a2c
  cadence::port::ScopedOverride<cadence::port::System> useSystem{system};
  cadence::test::TestHost host;
  cadence::test::ScopedHost scopedHost{&host};
  cadence::test::FakeDataStore store;
  cadence::test::FakeDirService dirs;
};

// Never the root of the current drive, which the bare name part would name.
TEST_F(SpillNames, TheSystemsTemporaryDirectoryWithoutStoreOrDirectoryServiceAndCounterMoves) {
  VelString first("left over"), second;
  EXPECT_TRUE(makeTempFileName(first));
  makeTempFileName(second);
  EXPECT_EQ(textOf(first), u"/fixed-temp\\vel-00001a2c-0000001f-temp");
  EXPECT_EQ(textOf(second), u"/fixed-temp\\vel-00001a2c-00000020-temp");
}

TEST_F(SpillNames, ConfiguredDirectoryUnchangedElseTheDirectoryService) {
  host.offer("IDataStore", static_cast<IDataStore*>(&store));
  dirs.directory = VelString("e:");
  host.offer("IVelDirService", static_cast<IVelDirService*>(&dirs));
  VelString path;
  makeTempFileName(path);
  EXPECT_EQ(textOf(path), u"e:\\\\vel-00001a2c-0000001f-temp");

  store.setString("Directories/Temp Directory", "t:/spill\\");
  makeTempFileName(path);
  EXPECT_EQ(textOf(path), u"t:/spill\\\\vel-00001a2c-00000020-temp");
}

}  // namespace

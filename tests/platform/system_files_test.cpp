// The system's descriptor calls as the runtime makes them: UTF-16 paths with
// characters beyond Latin-1 and backslash separators, 64-bit seeks, text mode
// done exactly once between the descriptor layer and the stream, temporary
// files that vanish, and exclusive creation.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/files.h"
#include "tests/support/unique_directory.h"

namespace {

namespace fs = std::filesystem;
using namespace cadence::port;

class SystemFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(directory.empty()); }
  // `name` inside the directory, joined with a backslash as the runtime joins paths.
  std::u16string pathOf(const std::u16string& name) const { return directory.u16string() + u"\\" + name; }
  std::string contentOf(const std::u16string& name) const {
    std::ifstream in(directory / fs::path(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  const cadence::test::UniqueDirectory scratch{"vel-platform-"};
  const fs::path& directory = scratch.path;
  Files& files = systemFiles();
};

TEST_F(SystemFiles, UnicodePathsOpenWriteSeekReadAndUnlink) {
  const std::u16string name = u"m\u00e9moire-\u20ac-\U0001D11E.log";  // Latin-1, BMP, a surrogate pair
  const std::u16string path = pathOf(name);
  const int fd = files.open(path.c_str(), kO_RDWR | kO_CREAT | kO_TRUNC | kO_BINARY, kS_IREAD | kS_IWRITE);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(files.write(fd, "0123456789", 10), 10);
  EXPECT_EQ(files.seek64(fd, 0, kSeekCur), 10);
  EXPECT_EQ(files.seek64(fd, -4, kSeekEnd), 6);
  char back[8] = {};
  EXPECT_EQ(files.read(fd, back, sizeof back), 4);
  EXPECT_EQ(std::string(back, 4), "6789");
  EXPECT_EQ(files.seek(fd, 2, kSeekSet), 2);
  EXPECT_EQ(files.read(fd, back, 3), 3);
  EXPECT_EQ(std::string(back, 3), "234");
  EXPECT_EQ(files.close(fd), 0);
  EXPECT_TRUE(fs::exists(directory / fs::path(name))) << "the file bears the UTF-16 name";
  EXPECT_EQ(contentOf(name), "0123456789");

  EXPECT_EQ(files.unlink(path.c_str()), 0);
  EXPECT_FALSE(fs::exists(directory / fs::path(name)));
  EXPECT_EQ(files.open(u"", kO_RDONLY, 0), -1);
  EXPECT_EQ(files.open(nullptr, kO_RDONLY, 0), -1);
  EXPECT_EQ(files.open(pathOf(u"missing\\x.txt").c_str(), kO_RDONLY, 0), -1);
}

// The runtime's text mode writes CR LF where the descriptor layer has one;
// the stream adds them only where it has not (io tests check the stream's
// side), so together a line feed becomes exactly one CR LF.
TEST_F(SystemFiles, TextModeIsTheDescriptorLayersOnlyWhereItSaysSo) {
  const std::u16string path = pathOf(u"text.txt");
  const int fd = files.open(path.c_str(), kO_WRONLY | kO_CREAT | kO_TRUNC | kO_TEXT, kS_IREAD | kS_IWRITE);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(files.write(fd, "a\nb\n", 4), 4);  // the count handed in, whatever reaches the disk
  files.close(fd);
  EXPECT_EQ(contentOf(u"text.txt"), kDescriptorsDoTextMode ? "a\r\nb\r\n" : "a\nb\n");

  const int binary =
      files.open(pathOf(u"binary.txt").c_str(), kO_WRONLY | kO_CREAT | kO_TRUNC | kO_BINARY, kS_IREAD | kS_IWRITE);
  ASSERT_GE(binary, 0);
  EXPECT_EQ(files.write(binary, "a\nb\n", 4), 4);
  files.close(binary);
  EXPECT_EQ(contentOf(u"binary.txt"), "a\nb\n");
}

TEST_F(SystemFiles, TemporaryFilesVanishAndExclusiveCreationRefusesAnExistingName) {
  const std::u16string path = pathOf(u"vel-00001a2c-0000001f-temp");
  constexpr int kSpill = kO_RDWR | kO_CREAT | kO_TEMPORARY | kO_BINARY | kO_EXCL;
  const int fd = files.open(path.c_str(), kSpill, kS_IREAD | kS_IWRITE);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(files.write(fd, "parked", 6), 6);
  EXPECT_EQ(files.seek(fd, 0, kSeekSet), 0);
  char back[6] = {};
  EXPECT_EQ(files.read(fd, back, 6), 6);
  EXPECT_EQ(std::string(back, 6), "parked");
  files.close(fd);
  EXPECT_FALSE(fs::exists(directory / "vel-00001a2c-0000001f-temp")) << "gone after its last close at the latest";

  { std::ofstream(directory / "taken") << "precious"; }
  EXPECT_EQ(files.open(pathOf(u"taken").c_str(), kSpill, kS_IREAD | kS_IWRITE), -1);
  EXPECT_EQ(contentOf(u"taken"), "precious");
}

}  // namespace

// The descriptor stream buffer and output stream against a write-recording
// descriptor layer: write counts, text mode, failures, seeks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "cadencehost/vel_string.h"
#include "io/vel_fd_streambuf.h"
#include "io/vel_ofstream.h"
#include "platform/override.h"
#include "tests/support/fake_platform.h"
#include "tests/support/unique_directory.h"

namespace {

namespace fs = std::filesystem;

// What the stream hands the descriptor layer for `text` in text mode: it
// writes each line feed as CR LF itself unless the system's runtime does.
std::string handedDown(const std::string& text) {
  if (cadence::port::kDescriptorsDoTextMode) return text;
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string readWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

class StreamTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(directory.empty()); }
  VelString pathOf(const std::string& name) const { return VelString((directory / name).string().c_str()); }
  bool open(VelFdStreambuf& buffer, const std::string& name = "out.txt") {
    return buffer.open(pathOf(name), VelOfstream::kOpenFlags, VelOfstream::kOpenPermissions) != nullptr;
  }
  std::string fileText(const std::string& name = "out.txt") const { return readWholeFile(directory / name); }

  const cadence::test::UniqueDirectory scratch{"vel-io-"};
  const fs::path& directory = scratch.path;
  cadence::test::RecordingFiles files;
  cadence::port::ScopedOverride<cadence::port::Files> useFiles{files};
};

TEST_F(StreamTest, FullBufferGoesOutInOneWrite) {
  VelFdStreambuf buffer;
  ASSERT_TRUE(open(buffer));
  for (int i = 0; i < 1023; ++i) buffer.sputc(static_cast<char>('a' + i % 26));
  EXPECT_TRUE(files.writes.empty());
  buffer.sputc('!');
  ASSERT_EQ(files.writes.size(), 1u);
  EXPECT_EQ(files.writes[0].size(), 1024u);
  EXPECT_EQ(files.writes[0].back(), '!');
  buffer.sputc('z');  // starts the next buffer, writes nothing
  EXPECT_EQ(files.writes.size(), 1u);
  buffer.close();
  EXPECT_EQ(files.writes.size(), 2u);
  EXPECT_EQ(fileText().size(), 1025u);
  EXPECT_EQ(files.closes, 1);
}

TEST_F(StreamTest, BlockTextWritesPendingBytesFirstAndIsNotCopied) {
  VelFdStreambuf buffer;
  ASSERT_TRUE(open(buffer));
  for (char c : std::string("0123456789")) buffer.sputc(c);
  EXPECT_EQ(buffer.sputn("x", 1), 1);
  ASSERT_EQ(files.writes.size(), 2u);
  EXPECT_EQ(files.writes[0], "0123456789");
  EXPECT_EQ(files.writes[1], "x");
  const std::string big(5000, 'b');
  EXPECT_EQ(buffer.sputn(big.data(), 5000), 5000);
  EXPECT_EQ(files.writes.size(), 3u);  // one write however long the block
}

TEST_F(StreamTest, EndlWritesPendingBytesAtOnceWithCarriageReturn) {
  {
    VelOfstream out(pathOf("out.txt"), std::ios::out | std::ios::trunc);
    out.put('a').put('b');
    EXPECT_TRUE(files.writes.empty());
    out << std::endl;
    ASSERT_EQ(files.writes.size(), 1u);
    EXPECT_EQ(files.writes[0], handedDown("ab\n"));
    out << "one\ntwo" << std::setw(5) << 42 << '\n';
    out.flush();
  }
  EXPECT_EQ(fileText(), "ab\r\none\r\ntwo   42\r\n");
}

// A flush stays one write in text mode; only its byte count grows by one per
// line feed (in the file; in the write too where the stream does the CR LF).
TEST_F(StreamTest, LineFeedsInAFullBufferStayOneWrite) {
  VelFdStreambuf buffer;
  ASSERT_TRUE(open(buffer));
  for (int i = 0; i < 1024; ++i) buffer.sputc('\n');
  ASSERT_EQ(files.writes.size(), 1u);
  EXPECT_EQ(files.writes[0], handedDown(std::string(1024, '\n')));
  buffer.close();
  EXPECT_EQ(fileText().size(), 2048u);
}

TEST_F(StreamTest, MissingDirectoryLeavesTheStreamFailed) {
  {
    VelOfstream out(pathOf("missing/out.txt"), std::ios::out | std::ios::trunc);
    EXPECT_TRUE(out.fail());
    EXPECT_TRUE(out.bad());
    EXPECT_FALSE(out.isOpen());
    out << "ignored" << 12 << std::endl;
  }
  VelOfstream noPath(VelString(), std::ios::out);  // a path without text opens ""
  EXPECT_TRUE(noPath.bad());
  EXPECT_EQ(files.openedPaths.back(), "");
  EXPECT_TRUE(files.writes.empty());
  EXPECT_EQ(files.closes, 0);
  EXPECT_FALSE(fs::exists(directory / "missing"));
}

// The open mode is honoured as a standard output file stream's; files are
// made for their owner alone; a new-file-only open never touches what stands
// under the name, and nothing but a regular file is opened.
TEST_F(StreamTest, OpensAsItsModeSaysAndOnlyRegularFiles) {
  { std::ofstream(directory / "out.txt") << "previous"; }
  { VelOfstream(pathOf("out.txt"), std::ios::out | std::ios::trunc) << "new"; }
  EXPECT_EQ(fileText(), "new");
  { VelOfstream(pathOf("out.txt"), std::ios::app) << "er"; }
  EXPECT_EQ(fileText(), "newer");
  EXPECT_EQ(files.openFlags, (std::vector<int>{0x4301, 0x4109}));
  EXPECT_FALSE(VelOfstream(pathOf("missing.txt"), std::ios::in | std::ios::out).isOpen());
  EXPECT_FALSE(VelOfstream(pathOf("out.txt"), std::ios::app | std::ios::trunc).isOpen());

  const auto newFileOnly = VelOfstream::Creation::newFileOnly;
  EXPECT_FALSE(VelOfstream(pathOf("out.txt"), std::ios::out, newFileOnly).isOpen());
  std::error_code noLinks;
#ifndef _WIN32  // wine's links are POSIX ones, which its CreateFileW follows: judged on POSIX
  fs::create_symlink(directory / "target.txt", directory / "link.txt", noLinks);
#else
  noLinks = std::make_error_code(std::errc::operation_not_supported);
#endif
  if (!noLinks) {  // a dangling link is not followed either
    EXPECT_FALSE(VelOfstream(pathOf("link.txt"), std::ios::out, newFileOnly).isOpen());
    EXPECT_FALSE(fs::exists(directory / "target.txt"));
  }
  EXPECT_EQ(fileText(), "newer");
  { VelOfstream(pathOf("fresh.txt"), std::ios::out, newFileOnly) << "made"; }
  EXPECT_EQ(fileText("fresh.txt"), "made");
  EXPECT_TRUE((fs::status(directory / "fresh.txt").permissions() & fs::perms::owner_write) != fs::perms::none);

  VelOfstream toDirectory(VelString(directory.string().c_str()), std::ios::out);
  EXPECT_TRUE(toDirectory.fail());
#ifndef _WIN32  // Windows keeps a read-only flag, no permission bits
  EXPECT_EQ(fs::status(directory / "fresh.txt").permissions() &
                (fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all),
            fs::perms::owner_read | fs::perms::owner_write);
  // A FIFO without a reader is refused at once instead of holding the caller.
  ASSERT_EQ(mkfifo((directory / "fifo").c_str(), 0600), 0);
  EXPECT_FALSE(VelOfstream(pathOf("fifo"), std::ios::out).isOpen());
  EXPECT_FALSE(VelOfstream(VelString("/dev/null"), std::ios::out).isOpen());
#endif
}

TEST_F(StreamTest, SeekFromCurrentReturnsLengthWrittenSoFar) {
  VelFdStreambuf buffer;
  ASSERT_TRUE(open(buffer));
  for (char c : std::string("hello\n")) buffer.sputc(c);
  EXPECT_EQ(static_cast<std::streamoff>(buffer.pubseekoff(0, std::ios::cur)), 7);
  EXPECT_EQ(buffer.mode(), VelFdStreambuf::kWritable);  // writing cleared
  EXPECT_EQ(static_cast<std::streamoff>(buffer.pubseekoff(1, std::ios::beg)), 1);
  buffer.sputc('E');
  buffer.close();
  EXPECT_EQ(fileText(), "hEllo\r\n");
  EXPECT_EQ(static_cast<std::streamoff>(buffer.pubseekoff(0, std::ios::cur)), -1);  // detached
}

// After a failed write of the full buffer, every further character answers
// end-of-file and nothing is stored beyond the buffer.
TEST_F(StreamTest, OverflowAfterFailedFullWriteStaysInsideTheBuffer) {
  VelFdStreambuf buffer;
  constexpr int kSize = 16;
  char storage[kSize + 8];
  std::fill(std::begin(storage), std::end(storage), '#');
  buffer.setBuffer(storage, kSize);
  ASSERT_TRUE(open(buffer));
  for (int i = 0; i < kSize - 1; ++i) EXPECT_EQ(buffer.sputc('a'), 'a');
  files.failWrites = true;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(buffer.sputc('b'), std::char_traits<char>::eof());
  EXPECT_EQ(files.writes.size(), 5u);
  for (int i = kSize; i < kSize + 8; ++i) EXPECT_EQ(storage[i], '#') << i;

  files.failWrites = false;
  EXPECT_EQ(buffer.sputc('c'), 'c');  // the full buffer goes out with c in the reserved byte
  EXPECT_EQ(files.writes.back(), std::string(kSize - 1, 'a') + "c");
  buffer.close();
  EXPECT_EQ(fileText(), std::string(kSize - 1, 'a') + "c");
}

}  // namespace

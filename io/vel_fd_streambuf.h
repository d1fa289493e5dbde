// VelFdStreambuf: a standard stream buffer on a runtime-library file
// descriptor (cadence::port::files()). Output collects in a buffer whose last byte
// stays free for the character that overflow receives, so a full buffer goes
// out as one write; block texts bypass the buffer; reads go straight to the
// descriptor.
#pragma once

#include <cstdint>
#include <streambuf>

struct VelString;

class VelFdStreambuf : public std::basic_streambuf<char> {
 public:
  static constexpr int64_t kDefaultBufferSize = 1024;

  // Mode flags.
  static constexpr uint32_t kReadable = 1;
  static constexpr uint32_t kWritable = 2;
  static constexpr uint32_t kReading = 4;
  static constexpr uint32_t kWriting = 8;

  VelFdStreambuf() = default;
  VelFdStreambuf(const VelFdStreambuf&) = delete;
  VelFdStreambuf& operator=(const VelFdStreambuf&) = delete;
  ~VelFdStreambuf() override;

  // Opens `path` (null text: the empty path) with the runtime's flags and
  // permission and sets the buffer up. Opened in text mode (without the
  // binary flag), each line feed reaches the file as CR LF. Returns this, or
  // null when the open failed.
  VelFdStreambuf* open(const VelString& path, int flags, int permission);
  // Flushes pending output when writing, closes the descriptor, detaches.
  // The results of both steps are ignored.
  void close();
  bool isOpen() const { return fd_ != -1; }

  // Replaces the buffer (releasing one this object allocated). Pending
  // output is not flushed. Returns this.
  virtual VelFdStreambuf* setBuffer(char* buffer, int64_t size);
  // Reads up to n bytes straight from the descriptor; `size` is not consulted.
  virtual std::streamsize boundedRead(char* p, std::size_t size, std::streamsize n);

  int fd() const { return fd_; }
  uint32_t mode() const { return mode_; }
  int64_t bufferSize() const { return bufferSize_; }
  char* buffer() const { return buffer_; }

 protected:
  int_type overflow(int_type c) override;
  int_type pbackfail(int_type c) override;
  std::streamsize showmanyc() override;
  int_type underflow() override;
  int_type uflow() override;
  std::streamsize xsgetn(char* p, std::streamsize n) override;
  std::streamsize xsputn(const char* p, std::streamsize n) override;
  pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
  pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;
  int sync() override;

 private:
  // Attaches the buffer after a successful open: allocates the default one
  // when there is none, makes the stream exactly writable. Null without fd.
  VelFdStreambuf* init();
  // Writes the pending bytes of the put area in one write: 0, or -1 with
  // the put area unchanged.
  int flushPending();
  // One descriptor write of `n` bytes, line feeds expanded in text mode.
  // Returns the number of source bytes written, or -1.
  int64_t writeOut(const char* p, int64_t n);
  void resetAreas();

  bool ownsBuffer_ = false;
  int fd_ = -1;
  uint32_t mode_ = 0;
  int64_t bufferSize_ = 0;
  char* buffer_ = nullptr;
  bool expandLineFeeds_ = false;
};

// The descriptor stream buffer: buffered output with one write per full
// buffer, per block text and per flush; direct reads; seeks that drop the
// areas. On systems whose descriptor layer has no text mode, the buffer
// itself writes each line feed as CR LF when opened in text mode.
#include "io/vel_fd_streambuf.h"

#include <climits>
#include <cstring>
#include <new>

#include "cadencehost/vel_string.h"
#include "platform/files.h"

namespace {

// Room for a full default buffer in which every byte is a line feed, so a
// flush of the default buffer stays one write.
constexpr std::size_t kExpansionChunk = 2 * VelFdStreambuf::kDefaultBufferSize;

constexpr unsigned int clampCount(int64_t n) {
  return n > INT_MAX ? static_cast<unsigned int>(INT_MAX) : static_cast<unsigned int>(n);
}

}  // namespace

VelFdStreambuf::~VelFdStreambuf() {
  close();
  if (ownsBuffer_) {
    delete[] buffer_;
    buffer_ = nullptr;
    ownsBuffer_ = false;
  }
}

VelFdStreambuf* VelFdStreambuf::open(const VelString& path, int flags, int permission) {
  if (fd_ != -1) return nullptr;
  const char16_t* text = path.text ? path.text : u"";
  fd_ = cadence::port::files().open(text, flags, permission);
  if (fd_ == -1) return nullptr;
  expandLineFeeds_ = !cadence::port::kDescriptorsDoTextMode && (flags & cadence::port::kO_TEXT) != 0;
  return init();
}

VelFdStreambuf* VelFdStreambuf::init() {
  if (fd_ == -1) return nullptr;
  if (!buffer_ && !ownsBuffer_) {
    // The ordinary heap; without it the stream runs unbuffered.
    buffer_ = new (std::nothrow) char[kDefaultBufferSize];
    if (buffer_) {
      bufferSize_ = kDefaultBufferSize;
      ownsBuffer_ = true;
    }
  }
  mode_ = kWritable;
  resetAreas();
  return this;
}

void VelFdStreambuf::close() {
  if (fd_ == -1) return;
  if ((mode_ & (kWriting | kReading)) == kWriting) overflow(traits_type::eof());
  cadence::port::files().close(fd_);
  fd_ = -1;
  mode_ = 0;
  resetAreas();
}

void VelFdStreambuf::resetAreas() {
  setg(buffer_, buffer_, buffer_);
  setp(buffer_, buffer_);
}

VelFdStreambuf* VelFdStreambuf::setBuffer(char* buffer, int64_t size) {
  if (ownsBuffer_) {
    delete[] buffer_;
    ownsBuffer_ = false;
  }
  buffer_ = buffer;
  bufferSize_ = buffer ? size : 0;
  resetAreas();
  return this;
}

int64_t VelFdStreambuf::writeOut(const char* p, int64_t n) {
  if (!expandLineFeeds_ || std::memchr(p, '\n', static_cast<std::size_t>(n)) == nullptr) {
    return cadence::port::files().write(fd_, p, clampCount(n));
  }
  char scratch[kExpansionChunk];
  int64_t done = 0;
  while (done < n) {
    const int64_t start = done;
    std::size_t fill = 0;
    while (done < n && fill + 2 <= sizeof scratch) {
      const char c = p[done++];
      if (c == '\n') scratch[fill++] = '\r';
      scratch[fill++] = c;
    }
    const int written = cadence::port::files().write(fd_, scratch, static_cast<unsigned int>(fill));
    if (written == static_cast<int>(fill)) continue;
    if (written <= 0) return start > 0 ? start : written;
    // Count the source bytes whose whole expansion reached the file.
    int64_t source = start;
    int64_t expanded = 0;
    while (source < done) {
      const int64_t need = p[source] == '\n' ? 2 : 1;
      if (expanded + need > written) break;
      expanded += need;
      ++source;
    }
    return source;
  }
  return n;
}

int VelFdStreambuf::flushPending() {
  const int64_t n = pptr() - pbase();
  if (n <= 0) return 0;
  if (writeOut(pbase(), n) != n) return -1;
  setp(pbase(), epptr());
  return 0;
}

VelFdStreambuf::int_type VelFdStreambuf::overflow(int_type c) {
  if (!(mode_ & kWritable) || (mode_ & kReading)) return traits_type::eof();
  mode_ |= kWriting;
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    flushPending();
    return traits_type::eof();
  }
  const char ch = traits_type::to_char_type(c);
  if (pptr() > pbase()) {
    if (pptr() < epptr()) {  // not full: only a direct caller gets here
      *pptr() = ch;
      pbump(1);
      return c;
    }
    // Full: the reserved byte takes c and the whole buffer goes out at once.
    // After a failed write the put area stays full and the reserved byte is
    // free again, so nothing is ever stored beyond the buffer.
    *epptr() = ch;
    const int64_t n = epptr() - pbase() + 1;
    if (writeOut(pbase(), n) != n) return traits_type::eof();
    setp(pbase(), epptr());
    return c;
  }
  if (bufferSize_ <= 1) {
    return writeOut(&ch, 1) == 1 ? c : traits_type::eof();
  }
  setg(buffer_, buffer_, buffer_);
  setp(buffer_, buffer_ + (bufferSize_ - 1));
  *pptr() = ch;
  pbump(1);
  return c;
}

VelFdStreambuf::int_type VelFdStreambuf::pbackfail(int_type c) {
  if (!(mode_ & (kReadable | kReading))) return traits_type::eof();
  if (gptr() <= eback()) return traits_type::eof();
  gbump(-1);
  if (!traits_type::eq_int_type(c, traits_type::eof())) *gptr() = traits_type::to_char_type(c);
  return traits_type::not_eof(c);
}

std::streamsize VelFdStreambuf::showmanyc() { return (mode_ & kReading) ? egptr() - gptr() : -1; }

VelFdStreambuf::int_type VelFdStreambuf::underflow() {
  if (!(mode_ & kReadable) || (mode_ & kWriting)) return traits_type::eof();
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (!buffer_ || bufferSize_ < 1 || fd_ == -1) return traits_type::eof();
  const int got = cadence::port::files().read(fd_, buffer_, clampCount(bufferSize_));
  if (got <= 0) return traits_type::eof();
  mode_ |= kReading;
  setg(buffer_, buffer_, buffer_ + got);
  return traits_type::to_int_type(*gptr());
}

VelFdStreambuf::int_type VelFdStreambuf::uflow() {
  const int_type c = underflow();
  if (!traits_type::eq_int_type(c, traits_type::eof())) gbump(1);
  return c;
}

std::streamsize VelFdStreambuf::xsgetn(char* p, std::streamsize n) {
  if (n <= 0) return 0;
  return cadence::port::files().read(fd_, p, clampCount(n));
}

std::streamsize VelFdStreambuf::boundedRead(char* p, std::size_t, std::streamsize n) { return xsgetn(p, n); }

std::streamsize VelFdStreambuf::xsputn(const char* p, std::streamsize n) {
  flushPending();
  if (n <= 0) return 0;
  if (fd_ == -1) return -1;
  return writeOut(p, n > INT_MAX ? INT_MAX : n);
}

VelFdStreambuf::pos_type VelFdStreambuf::seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) {
  if (fd_ == -1) return pos_type(off_type(-1));
  if (mode_ & kWriting) flushPending();  // bytes it fails to write are dropped below
  mode_ &= ~(kReading | kWriting);
  resetAreas();
  const int origin = dir == std::ios_base::beg   ? cadence::port::kSeekSet
                     : dir == std::ios_base::cur ? cadence::port::kSeekCur
                                                 : cadence::port::kSeekEnd;
  return pos_type(off_type(cadence::port::files().seek64(fd_, off, origin)));
}

VelFdStreambuf::pos_type VelFdStreambuf::seekpos(pos_type pos, std::ios_base::openmode) {
  return seekoff(off_type(pos), std::ios_base::beg, std::ios_base::in | std::ios_base::out);
}

int VelFdStreambuf::sync() { return flushPending() == 0 ? 0 : -1; }

// Test doubles for the platform layer.
#include "tests/support/fake_platform.h"

#include <cstring>

#include "platform/utf.h"

namespace cadence::test {

FailingHeap FailingHeap::nth(int64_t n) {
  return FailingHeap([n](int64_t call, std::size_t) { return n > 0 && call == n; });
}

FailingHeap FailingHeap::from(int64_t n) {
  return FailingHeap([n](int64_t call, std::size_t) { return n > 0 && call >= n; });
}

bool FailingHeap::countAndDecide(std::size_t bytes) {
  const std::lock_guard<std::mutex> hold(lock_);
  ++calls;
  requestedSizes.push_back(bytes);
  const bool fail = shouldFail && shouldFail(calls, bytes);
  if (fail) ++failures;
  return fail;
}

void* FailingHeap::allocate(std::size_t bytes) {
  return countAndDecide(bytes) ? nullptr : cadence::port::systemHeap().allocate(bytes);
}

void* FailingHeap::reallocate(void* block, std::size_t bytes) {
  return countAndDecide(bytes) ? nullptr : cadence::port::systemHeap().reallocate(block, bytes);
}

void FailingHeap::release(void* block) {
  if (block) {
    const std::lock_guard<std::mutex> hold(lock_);
    ++frees;
  }
  cadence::port::systemHeap().release(block);
}

int RecordingFiles::open(const char16_t* path, int flags, int permission) {
  openedPaths.push_back(cadence::port::utf16ToUtf8(path));
  openFlags.push_back(flags);
  if (failOpen) return -1;
  return cadence::port::systemFiles().open(path, flags, permission);
}

int RecordingFiles::read(int fd, void* buffer, unsigned int count) {
  if (shortReadBy > 0 && count > 0) {
    count = static_cast<unsigned>(shortReadBy) < count ? count - shortReadBy : 0;
  }
  const int got = cadence::port::systemFiles().read(fd, buffer, count);
  if (got > 0) bytesRead += got;
  return got;
}

int RecordingFiles::write(int fd, const void* buffer, unsigned int count) {
  writes.emplace_back(static_cast<const char*>(buffer), count);
  if (failWrites) return -1;
  if (shortWriteBy > 0 && count > 0) {
    unsigned int cut = static_cast<unsigned>(shortWriteBy) < count ? count - shortWriteBy : 0;
    return cadence::port::systemFiles().write(fd, buffer, cut);
  }
  return cadence::port::systemFiles().write(fd, buffer, count);
}

int32_t RecordingFiles::seek(int fd, int32_t offset, int origin) {
  if (failSeek) return -1;
  return cadence::port::systemFiles().seek(fd, offset, origin);
}

int64_t RecordingFiles::seek64(int fd, int64_t offset, int origin) {
  if (failSeek) return -1;
  return cadence::port::systemFiles().seek64(fd, offset, origin);
}

int RecordingFiles::close(int fd) {
  ++closes;
  return cadence::port::systemFiles().close(fd);
}

int RecordingFiles::unlink(const char16_t* path) {
  ++unlinks;
  return cadence::port::systemFiles().unlink(path);
}

int RecordingFiles::replace(const char16_t* from, const char16_t* to) {
  ++replaces;
  return cadence::port::systemFiles().replace(from, to);
}

int CapturingNotice::show(const char16_t* text, const char16_t* caption, uint32_t style) {
  calls.push_back(
      {text ? std::u16string(text) : std::u16string(), caption ? std::u16string(caption) : std::u16string(), style});
  if (onShow) onShow();
  return 1;
}

void ThrowingProcess::exit(int status) {
  statuses.push_back(status);
  throw ExitCalled{status};
}

bool FixedSystem::memoryStatus(cadence::port::MemoryStatus* out) {
  if (!statusOk) return false;
  *out = status;
  return true;
}

std::u16string u16(const char* ascii) {
  std::u16string s;
  for (; *ascii; ++ascii) s.push_back(static_cast<unsigned char>(*ascii));
  return s;
}

std::string utf8(const std::u16string& text) { return cadence::port::utf16ToUtf8(text.c_str()); }

}  // namespace cadence::test

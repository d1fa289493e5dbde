// A text of billions of characters that costs a megabyte: one small region
// of repeated characters mapped again and again into one reserved range, then
// a page of zeros for the terminator. For tests of sizes past 32 bits. POSIX
// only (valid() is false elsewhere and where the system refuses the maps).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if !defined(_WIN32)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace cadence::test {

class HugeText {
 public:
  // `units` characters of `unitBytes` bytes each (1 or 2), every one `value`.
  HugeText(uint64_t units, int unitBytes, uint16_t value) {
#if !defined(_WIN32)
    const uint64_t bytes = units * static_cast<uint64_t>(unitBytes);
    if (bytes % kChunk != 0) return;
    size_ = bytes + kChunk;  // and a chunk of zeros: the terminator
    void* range = ::mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (range == MAP_FAILED) return;
    base_ = static_cast<char*>(range);
    const int fd = ::memfd_create("huge-text", 0);
    if (fd < 0 || ::ftruncate(fd, kChunk) != 0) {
      release(fd);
      return;
    }
    void* chunk = ::mmap(nullptr, kChunk, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (chunk == MAP_FAILED) {
      release(fd);
      return;
    }
    for (size_t i = 0; i < kChunk; i += static_cast<size_t>(unitBytes)) {
      std::memcpy(static_cast<char*>(chunk) + i, &value, static_cast<size_t>(unitBytes));  // little-endian
    }
    ::munmap(chunk, kChunk);
    for (uint64_t at = 0; at < bytes; at += kChunk) {
      if (::mmap(base_ + at, kChunk, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0) == MAP_FAILED) {
        release(fd);
        return;
      }
    }
    ::mmap(base_ + bytes, kChunk, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    ::close(fd);
    valid_ = true;
#else
    (void)units, (void)unitBytes, (void)value;
#endif
  }
  ~HugeText() { release(-1); }
  HugeText(const HugeText&) = delete;
  HugeText& operator=(const HugeText&) = delete;

  bool valid() const { return valid_; }
  const char* narrow() const { return base_; }
  const char16_t* wide() const { return reinterpret_cast<const char16_t*>(base_); }

 private:
  static constexpr uint64_t kChunk = 1 << 20;
  void release(int fd) {
#if !defined(_WIN32)
    if (fd >= 0) ::close(fd);
    if (base_) ::munmap(base_, size_);
#endif
    base_ = nullptr;
    valid_ = false;
  }

  char* base_ = nullptr;
  [[maybe_unused]] uint64_t size_ = 0;  // used by the POSIX mapping only
  bool valid_ = false;
};

}  // namespace cadence::test

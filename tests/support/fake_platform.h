// Test doubles for the platform layer: a heap that fails on chosen calls, a
// descriptor layer that counts and can shorten writes, a captured notice, a
// process exit turned into an exception, and fixed system figures.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/heap.h"
#include "platform/notice.h"
#include "platform/override.h"
#include "platform/process.h"
#include "platform/system.h"

namespace cadence::test {

// Forwards to the system heap, failing the calls that `shouldFail` picks
// (counted over malloc and realloc together, from 1). Threads may share one:
// its bookkeeping is done under a lock (read the figures once they have ended).
class FailingHeap : public cadence::port::Heap {
 public:
  FailingHeap() = default;
  explicit FailingHeap(std::function<bool(int64_t call, std::size_t bytes)> rule) : shouldFail(std::move(rule)) {}
  // Fails exactly the N-th call (and none when n is 0).
  static FailingHeap nth(int64_t n);
  // Fails every call from the N-th on.
  static FailingHeap from(int64_t n);

  void* allocate(std::size_t bytes) override;
  void* reallocate(void* block, std::size_t bytes) override;
  void release(void* block) override;

  // Decides per call; gets the call number and the size asked for.
  std::function<bool(int64_t call, std::size_t bytes)> shouldFail;
  int64_t calls = 0;
  int64_t failures = 0;
  int64_t frees = 0;
  std::vector<std::size_t> requestedSizes;  // every malloc/realloc size, in order

 private:
  bool countAndDecide(std::size_t bytes);  // true: fail this call
  std::mutex lock_;
};

// Records every call; forwards to the real descriptor calls unless told not to.
class RecordingFiles : public cadence::port::Files {
 public:
  int open(const char16_t* path, int flags, int permission) override;
  int read(int fd, void* buffer, unsigned int count) override;
  int write(int fd, const void* buffer, unsigned int count) override;
  int32_t seek(int fd, int32_t offset, int origin) override;
  int64_t seek64(int fd, int64_t offset, int origin) override;
  int close(int fd) override;
  int unlink(const char16_t* path) override;
  int replace(const char16_t* from, const char16_t* to) override;

  bool failOpen = false;
  int shortWriteBy = 0;     // bytes to leave unwritten on each write (0: none)
  bool failWrites = false;  // every write returns -1
  int shortReadBy = 0;
  bool failSeek = false;

  std::vector<std::string> openedPaths;  // UTF-8
  std::vector<int> openFlags;
  std::vector<std::string> writes;  // bytes of each write call, in order
  int closes = 0;
  int unlinks = 0;
  int replaces = 0;
  int64_t bytesRead = 0;
};

struct NoticeCall {
  std::u16string text;
  std::u16string caption;
  uint32_t style;
};

class CapturingNotice : public cadence::port::Notice {
 public:
  int show(const char16_t* text, const char16_t* caption, uint32_t style) override;
  std::vector<NoticeCall> calls;
  std::function<void()> onShow;  // may throw, to test paths left by an exception
};

// Thrown by ThrowingProcess instead of ending the process.
struct ExitCalled {
  int status;
};

class ThrowingProcess : public cadence::port::Process {
 public:
  [[noreturn]] void exit(int status) override;
  std::vector<int> statuses;
};

class FixedSystem : public cadence::port::System {
 public:
  bool memoryStatus(cadence::port::MemoryStatus* out) override;
  uint32_t processId() override { return pid; }
  int64_t performanceCounter() override { return counter += counterStep; }
  bool disableThreadNotices(void*) override {
    ++threadNoticeCalls;
    return true;
  }
  std::u16string temporaryDirectory() override { return tempDirectory; }

  bool statusOk = true;
  cadence::port::MemoryStatus status;
  uint32_t pid = 0x1a2c;
  int64_t counter = 0;
  int64_t counterStep = 1;
  int threadNoticeCalls = 0;
  std::u16string tempDirectory = u"/fixed-temp";
};

std::u16string u16(const char* ascii);
std::string utf8(const std::u16string& text);

}  // namespace cadence::test

// One guarded reallocation driven into the spill: a block of 10 elements of
// 1000 bytes must grow to between 20 and 40 elements while the heap refuses
// every request of that size, until (optionally) the old block is freed. The
// spill file goes to the scope's scratch directory.
#pragma once

#include <cstring>

#include "memory/xal_alloc.h"
#include "tests/memory/memory_doubles.h"

namespace cadence::test {

inline unsigned char spillPattern(size_t i) { return static_cast<unsigned char>(i % 251 + 1); }

struct SpillRun {
  // xalRealloc's figures: element size, current and wanted element counts.
  static constexpr int32_t kElemSize = 1000;
  static constexpr int32_t kCurSize = 10;
  static constexpr int32_t kMinNewSize = 20;
  static constexpr int32_t kMaxNewSize = 40;

  explicit SpillRun(std::filesystem::path directory = {}) : scope(std::move(directory)) {
    heap.shouldFail = [this](int64_t, size_t bytes) {
      const bool blockSized = bytes >= size_t{kElemSize} * kMinNewSize && bytes <= size_t{kElemSize} * kMaxNewSize;
      return blockSized && !(memoryReturns && heap.frees > freesAtStart);
    };
  }

  // Returns xalRealloc's count (only when the spill succeeds).
  int32_t run() {
    cadence::port::ScopedOverride<cadence::port::Heap> useHeap(heap);
    cadence::port::ScopedOverride<cadence::port::Files> useFiles(files);
    block = cadence::port::sysMalloc(size_t{kElemSize} * kCurSize);
    auto* bytes = static_cast<unsigned char*>(block);
    for (size_t i = 0; i < size_t{kElemSize} * kCurSize; ++i) bytes[i] = spillPattern(i);
    oldBlock = block;
    freesAtStart = heap.frees;
    return xalRealloc(&block, kElemSize, kCurSize, kMinNewSize, kMaxNewSize);
  }

  MemoryHostScope scope;
  FailingHeap heap;
  RecordingFiles files;
  bool memoryReturns = true;  // the heap gives the memory once the old block is freed
  int64_t freesAtStart = 0;
  void* block = nullptr;
  void* oldBlock = nullptr;
};

}  // namespace cadence::test

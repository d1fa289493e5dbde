// Installs a test double for one platform concern for the life of a scope.
//   cadence::test::FailingHeap heap = cadence::test::FailingHeap::nth(3);
//   cadence::port::ScopedOverride<cadence::port::Heap> use(heap);
#pragma once

#include "platform/files.h"
#include "platform/heap.h"
#include "platform/notice.h"
#include "platform/process.h"
#include "platform/system.h"

namespace cadence::port {

// Installs a replacement of each concern and gives back the one it replaced.
inline Heap* swapConcern(Heap* h) { return setHeap(h); }
inline Files* swapConcern(Files* f) { return setFiles(f); }
inline System* swapConcern(System* s) { return setSystem(s); }
inline Notice* swapConcern(Notice* n) { return setNotice(n); }
inline Process* swapConcern(Process* p) { return setProcess(p); }

template <class Concern>
class ScopedOverride {
 public:
  explicit ScopedOverride(Concern& replacement) : previous_(swapConcern(&replacement)) {}
  ~ScopedOverride() { swapConcern(previous_); }
  ScopedOverride(const ScopedOverride&) = delete;
  ScopedOverride& operator=(const ScopedOverride&) = delete;

 private:
  Concern* previous_;
};

}  // namespace cadence::port

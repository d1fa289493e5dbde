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

template <class Concern>
struct ConcernSlot;
template <>
struct ConcernSlot<Heap> {
  static Heap* set(Heap* h) { return setHeap(h); }
};
template <>
struct ConcernSlot<Files> {
  static Files* set(Files* f) { return setFiles(f); }
};
template <>
struct ConcernSlot<System> {
  static System* set(System* s) { return setSystem(s); }
};
template <>
struct ConcernSlot<Notice> {
  static Notice* set(Notice* n) { return setNotice(n); }
};
template <>
struct ConcernSlot<Process> {
  static Process* set(Process* p) { return setProcess(p); }
};

template <class Concern>
class ScopedOverride {
 public:
  explicit ScopedOverride(Concern& replacement) : previous_(ConcernSlot<Concern>::set(&replacement)) {}
  ~ScopedOverride() { ConcernSlot<Concern>::set(previous_); }
  ScopedOverride(const ScopedOverride&) = delete;
  ScopedOverride& operator=(const ScopedOverride&) = delete;

 private:
  Concern* previous_;
};

}  // namespace cadence::port

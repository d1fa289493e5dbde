// The slots that hold the platform concern in force, one per concern. Reads
// are relaxed atomic loads, so swapping a double is safe to observe from any
// thread; tests swap only while no other thread uses the concern.
#include <atomic>

#include "platform/files.h"
#include "platform/heap.h"
#include "platform/notice.h"
#include "platform/process.h"
#include "platform/system.h"

namespace cadence::port {
namespace {

template <class Concern>
class Slot {
 public:
  Concern& get(Concern& fallback) {
    Concern* c = current_.load(std::memory_order_acquire);
    return c ? *c : fallback;
  }
  Concern* set(Concern* replacement, Concern& fallback) {
    Concern* previous = current_.exchange(replacement, std::memory_order_acq_rel);
    return previous ? previous : &fallback;
  }

 private:
  std::atomic<Concern*> current_{nullptr};
};

Slot<Heap> heapSlot;
Slot<Files> filesSlot;
Slot<System> systemSlot;
Slot<Notice> noticeSlot;
Slot<Process> processSlot;

}  // namespace

Heap& heap() { return heapSlot.get(systemHeap()); }
Heap* setHeap(Heap* r) { return heapSlot.set(r == &systemHeap() ? nullptr : r, systemHeap()); }
Files& files() { return filesSlot.get(systemFiles()); }
Files* setFiles(Files* r) { return filesSlot.set(r == &systemFiles() ? nullptr : r, systemFiles()); }
System& system() { return systemSlot.get(realSystem()); }
System* setSystem(System* r) { return systemSlot.set(r == &realSystem() ? nullptr : r, realSystem()); }
Notice& notice() { return noticeSlot.get(systemNotice()); }
Notice* setNotice(Notice* r) { return noticeSlot.set(r == &systemNotice() ? nullptr : r, systemNotice()); }
Process& process() { return processSlot.get(systemProcess()); }
Process* setProcess(Process* r) { return processSlot.set(r == &systemProcess() ? nullptr : r, systemProcess()); }

}  // namespace cadence::port

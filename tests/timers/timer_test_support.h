// Shared pieces of the timer tests: a QCoreApplication for the whole program,
// bounded event-loop waits, listeners that record their alerts, and a counter
// of heap allocations.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_query.h"
#include "tests/support/test_listener.h"

namespace cadence::test {

// The program's QCoreApplication, made on first use.
QCoreApplication& app();

// Runs the event loop until `done` holds or `timeoutMs` passed; returns done().
bool pumpUntil(const std::function<bool()>& done, int timeoutMs);
// Runs the event loop for about `ms` milliseconds.
void pumpFor(int ms);

// `count` listeners in one array, so their keys ascend with their index. Each
// carries one reference of the test's own, which keeps it from being deleted.
class ListenerArray {
 public:
  explicit ListenerArray(int count, AlertLog* log = nullptr) : items_(count) {
    for (auto& l : items_) {
      l.addRef();
      l.log = log;
    }
  }
  RecordingListener& operator[](int i) { return items_[static_cast<size_t>(i)]; }
  int size() const { return static_cast<int>(items_.size()); }

 private:
  std::vector<RecordingListener> items_;
};

// Heap allocations (operator new and the platform heap) made on this thread
// while a scope is open.
class AllocationCounter {
 public:
  AllocationCounter();
  ~AllocationCounter();
  int64_t count() const;

 private:
  int64_t startNew_;
  struct HeapProbe;
  std::unique_ptr<HeapProbe> heap_;  // owned: the counter is neither copied nor moved
};

}  // namespace cadence::test

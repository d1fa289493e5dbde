// Shared pieces of the timer tests: a QCoreApplication for the whole program,
// bounded event-loop waits, listeners that record their alerts, and a counter
// of heap allocations.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdint>
#include <functional>
#include <vector>

#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_query.h"

namespace cadence::test {

// The program's QCoreApplication, made on first use.
QCoreApplication& app();

// Runs the event loop until `done` holds or `timeoutMs` passed; returns done().
bool pumpUntil(const std::function<bool()>& done, int timeoutMs);
// Runs the event loop for about `ms` milliseconds.
void pumpFor(int ms);

class RecordingListener;
// The order in which listeners were alerted, shared by a group of listeners.
using AlertLog = std::vector<const Velmora::ITimerListener*>;

// Appends itself to a log on every alert and then runs an optional action.
// Heap-allocated listeners delete themselves on their last release; array
// members (made with `inArray`) only record that it happened.
class RecordingListener : public Velmora::ITimerListener {
 public:
  RecordingListener() = default;
  ~RecordingListener() override {
    if (destroyedFlag) *destroyedFlag = true;
  }

  void alert() override {
    ++alerts;
    if (log) log->push_back(this);
    if (onAlert) onAlert();
  }
  void queryInterface(const char* name, void* target) override {
    if (!name) return;
    void** slot = velQuerySlot(target);
    if (slot && velNameIs(name, "ITimerListener")) *slot = static_cast<Velmora::ITimerListener*>(this);
  }
  const char* getClassName() override { return "RecordingListener"; }

  // The key the timer orders by.
  Velmora::ITimerListener* key() { return this; }

  int alerts = 0;
  AlertLog* log = nullptr;
  std::function<void()> onAlert;
  bool* destroyedFlag = nullptr;
};

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
  AllocationCounter(const AllocationCounter&) = delete;
  AllocationCounter& operator=(const AllocationCounter&) = delete;
  int64_t count() const;

 private:
  int64_t startNew_;
  struct HeapProbe;
  HeapProbe* heap_;
};

}  // namespace cadence::test

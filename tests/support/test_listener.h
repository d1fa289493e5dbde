// The timer listener of the tests: counts its alerts, appends itself to a
// shared log, runs an optional action (which may change the timer's
// listeners from inside the alert), and says when it was destroyed.
#pragma once

#include <functional>
#include <vector>

#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_query.h"

namespace cadence::test {

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
    velAnswerQuery<Velmora::ITimerListener>(this, "RecordingListener", name, target);
  }
  const char* getClassName() override { return "RecordingListener"; }

  // The key the timer orders by.
  Velmora::ITimerListener* key() { return this; }

  int alerts = 0;
  AlertLog* log = nullptr;
  std::function<void()> onAlert;
  bool* destroyedFlag = nullptr;
};

}  // namespace cadence::test

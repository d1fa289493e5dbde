// Stopwatches: a new one on every createInstance, made by an item factory of
// the module's own (the kit's singleton factory shares one object instead).
#include <chrono>

#include "cadencehost/module.h"
#include "monotonic_clock.h"

namespace Monoclock {
namespace {

class Stopwatch final : public IStopwatch {
 public:
  Stopwatch() : start_(std::chrono::steady_clock::now()) {}

  int64_t elapsedNanoseconds() override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start_).count();
  }
  void restart() override { start_ = std::chrono::steady_clock::now(); }

  void queryInterface(const char* name, void* target) override {
    velAnswerQuery<IStopwatch>(this, kStopwatchClassName, name, target);
  }
  const char* getClassName() override { return kStopwatchClassName; }

 private:
  std::chrono::steady_clock::time_point start_;
};

// createItem's rules (item_factory.h): the object without a reference for the
// caller, its status, no exception (velNew ends the process the guarded way
// when memory runs out).
class StopwatchFactory final : public VelItemFactory {
 public:
  using VelItemFactory::VelItemFactory;
  IVelUnknown* createItem(uint32_t* status) override {
    if (status) *status = kVelCreatedNew;
    return static_cast<IVelUnknown*>(velNew<Stopwatch>());
  }
};

StopwatchFactory stopwatchFactory(kStopwatchClassName, nullptr, kStopwatchClassId);

}  // namespace
}  // namespace Monoclock

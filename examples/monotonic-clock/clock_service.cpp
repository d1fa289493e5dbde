// The clock service: a monotonic clock read through IMonotonicClock. The one
// instance is made on the first createInstance by its item factory, which
// registers the class while the module loads.
#include <chrono>

#include "cadencehost/module.h"
#include "monotonic_clock.h"

namespace Monoclock {
namespace {

class ClockService final : public IMonotonicClock {
 public:
  ClockService() : start_(std::chrono::steady_clock::now()) {}

  int64_t nowNanoseconds() override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start_).count();
  }
  int64_t resolutionNanoseconds() override {
    using Period = std::chrono::steady_clock::period;
    const int64_t tick = static_cast<int64_t>(1000000000 * Period::num / Period::den);
    return tick > 0 ? tick : 1;
  }

  // Answers "ClockService" (the object), "IVelUnknown" and "IMonotonicClock";
  // lists "ClockService" and "IMonotonicClock".
  void queryInterface(const char* name, void* target) override {
    velAnswerQuery<IMonotonicClock>(this, kClockServiceClassName, name, target);
  }
  const char* getClassName() override { return kClockServiceClassName; }

 private:
  const std::chrono::steady_clock::time_point start_;
};

// Registered under the class id while the module loads; hands out the one
// instance (status kVelCreatedSingleton) and keeps a reference on it.
VelSingletonTClassItemFactory<ClockService> clockServiceFactory(kClockServiceClassName, nullptr, kClockServiceClassId);

}  // namespace
}  // namespace Monoclock

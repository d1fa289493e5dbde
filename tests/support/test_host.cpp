// The test host.
#include "tests/support/test_host.h"

#include "cadencehost/vel_cstring.h"

namespace cadence::test {

int32_t TestHost::getService(const VelCString& name, void** slot) {
  const std::string key = name.c_str();
  const std::lock_guard<std::mutex> hold(lock_);
  lookups.push_back(key);
  auto it = services.find(key);
  if (it != services.end() && slot) *slot = it->second;
  return serviceResult;
}

void TestHost::addRefHook(int32_t* counter) {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    addRefCounters.push_back(counter);
  }
  if (countInHooks) ++*counter;
}

bool TestHost::releaseRefHook(int32_t* counter) {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    releaseRefCounters.push_back(counter);
  }
  if (!countInHooks) return releaseAnswer;
  return --*counter == 0;
}

}  // namespace cadence::test

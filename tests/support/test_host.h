// A host for tests: a service registry by name, reference-count hooks that
// record the counters they get, and a settable test status. Its records are
// kept under a lock: threads that run out of memory at once both look their
// services up.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "cadencehost/vel_host.h"
#include "cadencehost/vel_object.h"

namespace cadence::test {

class TestHost : public IVelHost {
 public:
  TestHost() = default;
  virtual ~TestHost() = default;

  int32_t getService(const VelCString& name, void** slot) override;
  char getTestStatus() override {
    ++statusCalls;
    return testStatus;
  }
  void addRefHook(int32_t* counter) override;
  bool releaseRefHook(int32_t* counter) override;

  // Offers `service` under `name`; the pointer written is `service` as given
  // (the caller passes the interface pointer of the requested type).
  template <class I>
  void offer(const std::string& name, I* service) {
    services[name] = static_cast<void*>(service);
  }
  void withdraw(const std::string& name) { services.erase(name); }

  std::map<std::string, void*> services;
  std::vector<std::string> lookups;  // every name asked for, in order
  int32_t serviceResult = 1;
  char testStatus = 'T';
  int statusCalls = 0;
  bool countInHooks = true;   // hooks change the counter
  bool releaseAnswer = true;  // when !countInHooks: what releaseRefHook says
  std::vector<int32_t*> addRefCounters;
  std::vector<int32_t*> releaseRefCounters;

 private:
  std::mutex lock_;
};

// Installs `host` as g_host for a scope and restores the previous host after.
class ScopedHost {
 public:
  explicit ScopedHost(IVelHost* host) : previous_(g_host) { g_host = host; }
  ~ScopedHost() { g_host = previous_; }
  ScopedHost(const ScopedHost&) = delete;
  ScopedHost& operator=(const ScopedHost&) = delete;

 private:
  IVelHost* previous_;
};

}  // namespace cadence::test

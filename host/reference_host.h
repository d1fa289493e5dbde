// The host object of cadence-host: a registry of services by name,
// reference-count hooks that update counters atomically (so counting is safe
// from any thread), and a watch list that tells which objects of interest
// (the module's timers, for one) have been destroyed.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "cadencehost/vel_host.h"
#include "cadencehost/vel_object.h"

namespace cadence::host {

// The host's own tally of the objects it created and that are still alive,
// by kind. A LiveToken member adds one on construction and removes it on
// destruction, so the tally cannot drift from the objects themselves.
enum class LiveKind { service, listener };

int32_t liveCount(LiveKind kind);

class LiveToken {
 public:
  explicit LiveToken(LiveKind kind);
  ~LiveToken();
  LiveToken(const LiveToken&) = delete;
  LiveToken& operator=(const LiveToken&) = delete;

 private:
  LiveKind kind_;
};

class ReferenceHost final : public IVelHost {
 public:
  static constexpr char kTestStatus = 'R';

  ReferenceHost() = default;
  // Gives back the registry's reference on every service.
  ~ReferenceHost();
  ReferenceHost(const ReferenceHost&) = delete;
  ReferenceHost& operator=(const ReferenceHost&) = delete;

  // Writes the interface pointer offered under `name` into *slot; returns 1
  // when there is one, 0 (slot left null) otherwise.
  int32_t getService(const VelCString& name, void** slot) override;
  char getTestStatus() override { return kTestStatus; }
  void addRefHook(int32_t* counter) override;
  // True when the count has just reached zero; the count then reads -42.
  bool releaseRefHook(int32_t* counter) override;

  // Offers `service` under `name`, handing out its `Interface` part, and keeps
  // one reference on it for the life of the host. Call before the host is in
  // use: the registry is read without a lock afterwards.
  template <class Interface>
  void offer(const char* name, Interface* service) {
    offerPart(name, static_cast<void*>(service), static_cast<IVelUnknown*>(service));
  }

  // Starts watching `object`: it counts as alive until a release through the
  // hooks brings its count to zero.
  void watch(IVelUnknown* object);
  int32_t watchedAlive() const;

  // The service names asked for so far, each once, in the order first asked,
  // with whether this host offers it.
  struct Lookup {
    std::string name;
    bool offered;
  };
  std::vector<Lookup> lookups() const;

 private:
  struct Offer {
    std::string name;
    void* part;
    IVelUnknown* object;
  };

  void offerPart(const char* name, void* part, IVelUnknown* object);
  void noteLookup(const char* name, bool offered);
  void forgetIfWatched(int32_t* counter);

  std::vector<Offer> offers_;

  mutable std::mutex watchMutex_;
  std::unordered_set<int32_t*> watched_;
  std::atomic<int32_t> watchedCount_{0};  // lets the release hook skip the lock

  mutable std::mutex lookupMutex_;
  std::vector<Lookup> lookups_;
};

}  // namespace cadence::host

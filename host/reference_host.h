// The host object of cadence-host: services by name, atomic reference-count
// hooks (safe from any thread), and a watch list of objects (the module's
// timers) that tells which have been destroyed.
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

// The host's tally of its own live objects, by kind: a LiveToken member
// counts its object, so the tally cannot drift.
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

  // Offers the `Interface` part of `service` under `name`, holding a reference
  // for the host's life. Only before use: the registry is read unlocked.
  template <class Interface>
  void offer(const char* name, Interface* service) {
    offerPart(name, static_cast<void*>(service), static_cast<IVelUnknown*>(service));
  }

  // Starts watching `object`: it counts as alive until a release through the
  // hooks brings its count to zero.
  void watch(IVelUnknown* object);
  int32_t watchedAlive() const;

  // The service names asked for, each once in order, and whether offered.
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

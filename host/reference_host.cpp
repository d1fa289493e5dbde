// The host object of cadence-host.
#include "reference_host.h"

#include <cstring>

#include "cadencehost/vel_cstring.h"
#include "shared_count.h"

namespace cadence::host {

namespace {

std::atomic<int32_t>& counterFor(LiveKind kind) {
  static std::atomic<int32_t> services{0};
  static std::atomic<int32_t> listeners{0};
  return kind == LiveKind::service ? services : listeners;
}

}  // namespace

int32_t liveCount(LiveKind kind) { return counterFor(kind).load(); }

LiveToken::LiveToken(LiveKind kind) : kind_(kind) { counterFor(kind_).fetch_add(1); }

LiveToken::~LiveToken() { counterFor(kind_).fetch_sub(1); }

ReferenceHost::~ReferenceHost() {
  for (Offer& offer : offers_) offer.object->releaseRef();
}

void ReferenceHost::offerPart(const char* name, void* part, IVelUnknown* object) {
  object->addRef();
  offers_.push_back(Offer{name, part, object});
}

int32_t ReferenceHost::getService(const VelCString& name, void** slot) {
  if (!name.text) return 0;
  for (const Offer& offer : offers_) {
    if (std::strcmp(offer.name.c_str(), name.text) == 0) {
      if (slot) *slot = offer.part;
      noteLookup(name.text, true);
      return 1;
    }
  }
  noteLookup(name.text, false);
  return 0;
}

void ReferenceHost::addRefHook(int32_t* counter) { incrementShared(counter); }

bool ReferenceHost::releaseRefHook(int32_t* counter) {
  if (!decrementSharedToZero(counter)) return false;
  storeShared(counter, kVelDestroyingRefCount);
  if (watchedCount_.load(std::memory_order_acquire) != 0) forgetIfWatched(counter);
  return true;
}

void ReferenceHost::watch(IVelUnknown* object) {
  if (!object) return;
  std::lock_guard<std::mutex> lock(watchMutex_);
  if (watched_.insert(&object->refCount).second) watchedCount_.fetch_add(1, std::memory_order_release);
}

int32_t ReferenceHost::watchedAlive() const { return watchedCount_.load(std::memory_order_acquire); }

void ReferenceHost::forgetIfWatched(int32_t* counter) {
  std::lock_guard<std::mutex> lock(watchMutex_);
  if (watched_.erase(counter) != 0) watchedCount_.fetch_sub(1, std::memory_order_release);
}

void ReferenceHost::noteLookup(const char* name, bool offered) {
  std::lock_guard<std::mutex> lock(lookupMutex_);
  for (const Lookup& lookup : lookups_) {
    if (lookup.name == name) return;
  }
  lookups_.push_back(Lookup{name, offered});
}

std::vector<ReferenceHost::Lookup> ReferenceHost::lookups() const {
  std::lock_guard<std::mutex> lock(lookupMutex_);
  return lookups_;
}

}  // namespace cadence::host

// Process-wide service pointers. OnceService looks its service up once, at the
// first use, and keeps a null answer for good; RetryingService asks the host
// again at every use while it has no service. Both hold one reference and give
// it back when destroyed. ResettableService wraps either so that a test (or a
// host installed later) can drop it and have the next use ask afresh.
//
// The accessors build the process-wide holder on the first call and destroy
// it at unload:
//   VelMM::IVelMManager* manager = cadence::onceService<VelMM::IVelMManager>();
//   IMemChecker* checker = cadence::retryingService<IMemChecker>();
// Tests construct their own holder objects to start from a fresh state.
#pragma once

#include <optional>

#include "base/process_wide.h"
#include "cadencehost/vel_ptr.h"

namespace cadence {

template <class I>
class OnceService {
 public:
  OnceService() = default;  // the SPtr asks the host here
  OnceService(const OnceService&) = delete;
  OnceService& operator=(const OnceService&) = delete;

  I* get() const { return service_.get(); }

 private:
  SPtr<I> service_;
};

template <class I>
class RetryingService {
 public:
  RetryingService() = default;  // the first lookup happens here
  RetryingService(const RetryingService&) = delete;
  RetryingService& operator=(const RetryingService&) = delete;

  // Every use but the one that built the holder asks again while null.
  I* get() {
    if (!service_.get() && !justBuilt_) service_.acquire();
    justBuilt_ = false;
    return service_.get();
  }

 private:
  SPtr<I> service_;
  bool justBuilt_ = true;
};

template <class Holder>
class ResettableService {
 public:
  ResettableService() = default;
  ResettableService(const ResettableService&) = delete;
  ResettableService& operator=(const ResettableService&) = delete;

  auto* get() {
    if (!holder_) holder_.emplace();  // the holder's construction asks the host
    return holder_->get();
  }
  void forget() { holder_.reset(); }

 private:
  std::optional<Holder> holder_;
};

template <class I>
I* onceService() {
  return builtOnFirstUse<[] { return OnceService<I>(); }>().get();
}

template <class I>
I* retryingService() {
  return builtOnFirstUse<[] { return RetryingService<I>(); }>().get();
}

}  // namespace cadence

// Process-wide service pointers. VelOnceService looks its service up once, at
// the first use, and keeps a null answer for good; VelRetryingService asks the
// host again at every use while it has no service. Both hold one reference and
// give it back when destroyed.
//
// For the process-wide holder, use the accessors: each builds its holder on
// the first call (a function-local static, so it is torn down at unload):
//   VelMM::IVelMManager* manager = velOnceService<VelMM::IVelMManager>();
//   IMemChecker* checker = velRetryingService<IMemChecker>();
// Tests construct their own holder objects to start from a fresh state.
#pragma once

#include <optional>

#include "cadencehost/vel_ptr.h"

template <class I>
class VelOnceService {
 public:
  VelOnceService() = default;  // the SPtr asks the host here
  VelOnceService(const VelOnceService&) = delete;
  VelOnceService& operator=(const VelOnceService&) = delete;

  I* get() const { return service_.get(); }

 private:
  SPtr<I> service_;
};

template <class I>
class VelRetryingService {
 public:
  VelRetryingService() = default;  // the first lookup happens here
  VelRetryingService(const VelRetryingService&) = delete;
  VelRetryingService& operator=(const VelRetryingService&) = delete;

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

template <class I>
I* velOnceService() {
  static VelOnceService<I> holder;
  return holder.get();
}

template <class I>
I* velRetryingService() {
  static VelRetryingService<I> holder;
  return holder.get();
}

// A process-wide holder that can be dropped: the next use builds it again and
// asks the host afresh (a host installed later, or a test starting clean).
template <class Holder>
class VelResettableService {
 public:
  VelResettableService() = default;
  VelResettableService(const VelResettableService&) = delete;
  VelResettableService& operator=(const VelResettableService&) = delete;

  auto* get() {
    if (!holder_) holder_.emplace();  // the holder's construction asks the host
    return holder_->get();
  }
  void forget() { holder_.reset(); }

 private:
  std::optional<Holder> holder_;
};

// The process-wide service pointers of the out-of-memory report and the
// temporary-file paths: built on first use, released at unload. forget()
// drops a holder, so the next use builds it again and asks the host afresh
// (a host installed later, or a test starting from a clean state).
#pragma once

#include <optional>

#include "core/service_holders.h"
#include "cadencehost/vel_services.h"

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

// "IVelMManager", looked up once.
ResettableService<VelOnceService<VelMM::IVelMManager>>& memoryManagerHolder();
// "IMemChecker", looked up again while none was found.
ResettableService<VelRetryingService<IMemChecker>>& memCheckerHolder();
// "IVelDirService", looked up once.
ResettableService<VelOnceService<IVelDirService>>& dirServiceHolder();

// "IVelMManager" of the reference host: the process's real memory use and
// the machine's limits, in units of 24 KiB. This host keeps no cache it
// could give back, so freeOneUnit always answers false.
#pragma once

#include <cstdint>
#include <functional>

#include "cadencehost/vel_services.h"
#include "host/live_objects.h"
#include "host/process_memory.h"

namespace cadence::host {

inline constexpr uint64_t kMemoryUnitBytes = 24 * 1024;

// Bytes to whole 24 KiB units, capped at the largest signed 32-bit value.
int32_t memoryUnits(uint64_t bytes);

class HostMemoryManager final : public VelMM::IVelMManager {
 public:
  using FigureSource = std::function<MemoryFigures()>;
  static constexpr const char* kClassName = "HostMemoryManager";

  HostMemoryManager();  // reads the live figures at every call
  explicit HostMemoryManager(FigureSource source);

  bool freeOneUnit() override { return false; }
  int32_t coreLimit() override;  // physical memory of the machine
  int32_t swapLimit() override;  // swap of the machine
  int32_t swapNow() override;    // this process's swapped-out memory
  int32_t coreNow() override;    // this process's resident memory
  void queryInterface(const char* name, void* target) override;
  const char* getClassName() override { return kClassName; }

 private:
  LiveToken token_{LiveKind::service};
  FigureSource source_;
};

}  // namespace cadence::host

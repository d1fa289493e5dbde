// The host's memory manager.
#include "host/memory_manager.h"

#include <limits>

#include "cadencehost/vel_query.h"

namespace cadence::host {

int32_t memoryUnits(uint64_t bytes) {
  const uint64_t units = bytes / kMemoryUnitBytes;
  constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
  return static_cast<int32_t>(units > kMax ? kMax : units);
}

HostMemoryManager::HostMemoryManager() : source_(readMemoryFigures) {}

HostMemoryManager::HostMemoryManager(FigureSource source) : source_(std::move(source)) {}

int32_t HostMemoryManager::coreLimit() { return memoryUnits(source_().physicalTotal); }
int32_t HostMemoryManager::swapLimit() { return memoryUnits(source_().swapTotal); }
int32_t HostMemoryManager::swapNow() { return memoryUnits(source_().processSwapped); }
int32_t HostMemoryManager::coreNow() { return memoryUnits(source_().processResident); }

void HostMemoryManager::queryInterface(const char* name, void* target) {
  velAnswerQuery<VelMM::IVelMManager>(this, kClassName, name, target);
}

}  // namespace cadence::host

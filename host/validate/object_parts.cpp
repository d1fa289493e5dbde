// The contract's module-side interfaces by name, each to its IVelUnknown part.
#include "validate/object_parts.h"

#include <cstring>

#include "cadencehost/bucket_memory_pool.h"
#include "cadencehost/timer_interfaces.h"
#include "cadencehost/vel_interfaces.h"
#include "cadencehost/vel_translator.h"

namespace cadence::host::validate {
namespace {

template <class I>
IVelUnknown* unknownVia(void* part) {
  return static_cast<IVelUnknown*>(static_cast<I*>(part));
}

struct KnownInterface {
  const char* name;
  IVelUnknown* (*toUnknown)(void* part);
};

constexpr KnownInterface kKnownInterfaces[] = {
    {IVelComponent::kInterfaceName, &unknownVia<IVelComponent>},
    {IVelCompInternal::kInterfaceName, &unknownVia<IVelCompInternal>},
    {IVelClcBinary::kInterfaceName, &unknownVia<IVelClcBinary>},
    {IShutdownListener::kInterfaceName, &unknownVia<IShutdownListener>},
    {IVelTranslator::kInterfaceName, &unknownVia<IVelTranslator>},
    {IBucketMemoryPool::kInterfaceName, &unknownVia<IBucketMemoryPool>},
    {Velmora::ITimerService::kInterfaceName, &unknownVia<Velmora::ITimerService>},
    {Velmora::ITimerServiceV2::kInterfaceName, &unknownVia<Velmora::ITimerServiceV2>},
    {Velmora::ITimer::kInterfaceName, &unknownVia<Velmora::ITimer>},
};

}  // namespace

IVelUnknown* unknownThroughInterface(const char* interfaceName, void* part) {
  for (const KnownInterface& known : kKnownInterfaces) {
    if (std::strcmp(known.name, interfaceName) == 0) return known.toUnknown(part);
  }
  return nullptr;
}

}  // namespace cadence::host::validate

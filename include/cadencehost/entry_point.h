// The module's only export, as a host finds it by name after loading the
// library, and what it answers.
#pragma once

#include <cstdint>

#include "cadencehost/vel_interfaces.h"

// The interface version EntryPoint writes on success; a host refuses any other.
constexpr uint32_t kVelInterfaceVersion = 100;
// EntryPoint's results.
constexpr int32_t kVelEntryPointSucceeded = 1;
constexpr int32_t kVelEntryPointFailed = 0;
// The export's undecorated name, for dlsym / GetProcAddress.
inline constexpr const char* kVelEntryPointName = "EntryPoint";

// Writes a new component (count 0: the host takes the first reference, after
// setHost) and the interface version. No exception leaves it.
extern "C" int32_t EntryPoint(uint32_t* version, IVelComponent** object);
using VelEntryPointFn = int32_t (*)(uint32_t* version, IVelComponent** object);

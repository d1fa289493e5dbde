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

// On success returns kVelEntryPointSucceeded, writes a new component into
// *object (count 0: the host takes the first reference, after setHost) and
// kVelInterfaceVersion into *version; each call makes another component.
// A null `object` returns kVelEntryPointFailed and writes nothing; a failure
// to create the component returns it with *version 0 and *object null. No
// exception leaves it. Call it only after loading the library; never unload
// the library afterwards (its process-wide objects are torn down at exit).
extern "C" int32_t EntryPoint(uint32_t* version, IVelComponent** object);
using VelEntryPointFn = int32_t (*)(uint32_t* version, IVelComponent** object);

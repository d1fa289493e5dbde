// The installed module identity, or the empty one.
#include "core/module_identity.h"

namespace {
constinit const VelID noComponentId;
constinit const VelModuleIdentity noIdentity = {"", "", &noComponentId, 0, nullptr, 0};
constinit const VelModuleIdentity* installed = nullptr;
}  // namespace

void velInstallModuleIdentity(const VelModuleIdentity* identity) { installed = identity; }

const VelModuleIdentity& velModuleIdentity() { return installed ? *installed : noIdentity; }

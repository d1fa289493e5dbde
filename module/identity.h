// The identity this module installs into its copy of the runtime at load.
#pragma once

#include "core/module_identity.h"

extern const VelModuleIdentity kCadenceModuleIdentity;

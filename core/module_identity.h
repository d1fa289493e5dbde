// The identity of the module this copy of the runtime is linked into: what
// its component and binary object answer, and the component identifier its
// translator is asked for. The module installs its own while it loads; a
// host's copy of the runtime has none and answers with an empty one.
#pragma once

#include "cadencehost/module_identity.h"

// Called once, by the module's first load-time static.
void velInstallModuleIdentity(const VelModuleIdentity* identity);

// The installed identity; before (or without) one, empty texts, a zero
// identifier and no binary id.
const VelModuleIdentity& velModuleIdentity();

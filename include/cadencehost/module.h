// Everything a module built on this runtime compiles against: the contract
// (sdk.h), item factories (item_factory.h) and the module's identity
// (module_identity.h). A module links CadenceHost::module, which brings
// EntryPoint (the one export), the load hook, the component and its class
// factory; the module adds its identity and its classes.
#pragma once

#include "cadencehost/item_factory.h"
#include "cadencehost/module_identity.h"
#include "cadencehost/sdk.h"

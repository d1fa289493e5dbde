// The module's load-time statics that the entry point reads.
#pragma once

class IVelComponentFactory;

// The component factory, made at load and never destroyed; null only if the
// allocation gave no object.
extern IVelComponentFactory* g_velComponentFactory;

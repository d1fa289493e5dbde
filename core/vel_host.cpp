// The process-wide host pointer.
#include "core/vel_host.h"

IVelHost* g_host = nullptr;

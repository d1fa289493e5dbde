// The process-wide host pointer.
#include "cadencehost/vel_host.h"

IVelHost* g_host = nullptr;

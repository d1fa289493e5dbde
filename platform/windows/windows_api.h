// The Windows API header, without the parts and macros the platform layer
// does not want (the min/max macros, the rarely used APIs).
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

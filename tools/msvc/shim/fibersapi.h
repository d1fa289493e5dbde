/* The SDK's <fibersapi.h> (the Fls* functions): wine declares them in
   <winbase.h>. */
#pragma once
#include <windows.h>

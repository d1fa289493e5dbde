/* Over wine's <io.h>: open and sopen as functions, as in the universal CRT's
   header, rather than wine's macros for _open and _sopen (a macro named open
   renames every member function called open, QIODevice::open among them).
   The start-up runtime supplies both functions (oldnames.c). */
#pragma once
#include_next <io.h>
#undef open
#undef sopen
#ifdef __cplusplus
extern "C" {
#endif
int __cdecl open(const char *path, int flags, ...);
int __cdecl sopen(const char *path, int flags, int share, ...);
#ifdef __cplusplus
}
#endif

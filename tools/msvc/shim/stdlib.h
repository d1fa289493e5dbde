/* Over wine's <stdlib.h>: what the universal CRT's header declares beyond it
   (all exported by ucrtbase). */
#pragma once
#include_next <stdlib.h>
#ifdef __cplusplus
extern "C" {
#endif
#ifndef MB_CUR_MAX
_ACRTIMP int __cdecl ___mb_cur_max_func(void);
#define MB_CUR_MAX ___mb_cur_max_func()
#endif
_ACRTIMP int __cdecl ___mb_cur_max_l_func(_locale_t);
_ACRTIMP int *__cdecl __sys_nerr(void);
_ACRTIMP char **__cdecl __sys_errlist(void);
#define _sys_nerr (*__sys_nerr())
#define _sys_errlist (__sys_errlist())
_ACRTIMP errno_t __cdecl getenv_s(size_t *, char *, size_t, const char *);
_ACRTIMP unsigned int __cdecl _set_abort_behavior(unsigned int flags, unsigned int mask);
_ACRTIMP float __cdecl _strtof_l(const char *, char **, _locale_t);
_ACRTIMP double __cdecl _strtod_l(const char *, char **, _locale_t);
#ifdef __cplusplus
}
#endif

/* Over wine's <ctype.h>: the locale-taking classifiers the universal CRT's
   header declares and ucrtbase exports, which libc++'s locale code calls. */
#pragma once
#include_next <ctype.h>
#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP const unsigned short *__cdecl __pctype_func(void);
_ACRTIMP int __cdecl _isalnum_l(int, _locale_t);
_ACRTIMP int __cdecl _isalpha_l(int, _locale_t);
_ACRTIMP int __cdecl _isblank_l(int, _locale_t);
_ACRTIMP int __cdecl _iscntrl_l(int, _locale_t);
_ACRTIMP int __cdecl _isdigit_l(int, _locale_t);
_ACRTIMP int __cdecl _isgraph_l(int, _locale_t);
_ACRTIMP int __cdecl _islower_l(int, _locale_t);
_ACRTIMP int __cdecl _isprint_l(int, _locale_t);
_ACRTIMP int __cdecl _ispunct_l(int, _locale_t);
_ACRTIMP int __cdecl _isspace_l(int, _locale_t);
_ACRTIMP int __cdecl _isupper_l(int, _locale_t);
_ACRTIMP int __cdecl _isxdigit_l(int, _locale_t);
_ACRTIMP int __cdecl _tolower_l(int, _locale_t);
_ACRTIMP int __cdecl _toupper_l(int, _locale_t);
#ifdef __cplusplus
}
#endif

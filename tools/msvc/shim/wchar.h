/* Over wine's <wchar.h>: what the universal CRT's header declares beyond it
   (exported by ucrtbase); long double is double in this ABI. */
#pragma once
#include_next <wchar.h>
#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP int __cdecl _iswcntrl_l(wint_t, _locale_t);
_ACRTIMP int __cdecl _iswxdigit_l(wint_t, _locale_t);
_ACRTIMP errno_t __cdecl wcrtomb_s(size_t *, char *, size_t, wchar_t, mbstate_t *);
_ACRTIMP size_t __cdecl _wcsftime_l(wchar_t *, size_t, const wchar_t *, const struct tm *, _locale_t);
static __inline long double __cdecl wcstold(const wchar_t *s, wchar_t **end) {
  return wcstod(s, end);
}
#ifdef __cplusplus
}
#endif

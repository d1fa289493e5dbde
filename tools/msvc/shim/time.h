/* Over wine's <time.h>: struct timespec, timespec_get and the _s/_l
   functions of the universal CRT's header (exported by ucrtbase, or inline
   there over them); time_t is 64 bits. */
#pragma once
#include_next <time.h>
#ifndef _TIMESPEC_DEFINED
#define _TIMESPEC_DEFINED
struct timespec {
  time_t tv_sec;
  long tv_nsec;
};
#endif
#ifndef TIME_UTC
#define TIME_UTC 1
#endif
#ifdef __cplusplus
extern "C" {
#endif
_ACRTIMP int __cdecl _timespec64_get(struct timespec *, int);
_ACRTIMP errno_t __cdecl _gmtime64_s(struct tm *, const __time64_t *);
_ACRTIMP errno_t __cdecl _localtime64_s(struct tm *, const __time64_t *);
_ACRTIMP errno_t __cdecl _get_tzname(size_t *, char *, size_t, int);
_ACRTIMP size_t __cdecl _strftime_l(char *, size_t, const char *, const struct tm *, _locale_t);
static __inline int __cdecl timespec_get(struct timespec *ts, int base) {
  return _timespec64_get(ts, base);
}
static __inline errno_t __cdecl gmtime_s(struct tm *result, const time_t *time) {
  return _gmtime64_s(result, time);
}
static __inline errno_t __cdecl localtime_s(struct tm *result, const time_t *time) {
  return _localtime64_s(result, time);
}
#ifdef __cplusplus
}
#endif

/* The /GS stack cookie: the value the compiler's checked functions keep on
   the stack, made unpredictable per image by __security_init_cookie (the
   entry points call it first; this runtime itself is built /GS-), and the
   check the compiler calls on their way out. */
#include "startup.h"

#include <windows.h>

#define DEFAULT_SECURITY_COOKIE 0x00002B992DDFA232ull

UINT_PTR __security_cookie = DEFAULT_SECURITY_COOKIE;
UINT_PTR __security_cookie_complement = ~DEFAULT_SECURITY_COOKIE;

void __cdecl __security_init_cookie(void) {
  if (__security_cookie != DEFAULT_SECURITY_COOKIE) return;
  FILETIME now;
  LARGE_INTEGER counter;
  GetSystemTimeAsFileTime(&now);
  QueryPerformanceCounter(&counter);
  ULONGLONG cookie = ((ULONGLONG)now.dwHighDateTime << 32 | now.dwLowDateTime) ^
                     GetCurrentThreadId() ^ ((ULONGLONG)GetCurrentProcessId() << 32) ^
                     (ULONGLONG)counter.QuadPart ^ ((ULONGLONG)counter.QuadPart << 32) ^
                     (ULONGLONG)(UINT_PTR)&cookie;
  /* As MSVC's: the top 16 bits clear, so a string overrun cannot copy it. */
  cookie &= 0x0000FFFFFFFFFFFFull;
  if (cookie == DEFAULT_SECURITY_COOKIE) ++cookie;
  __security_cookie = cookie;
  __security_cookie_complement = ~cookie;
}

void __cdecl __security_check_cookie(UINT_PTR cookie) {
  if (cookie != __security_cookie) __fastfail(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
}

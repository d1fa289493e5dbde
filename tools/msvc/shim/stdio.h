/* Over wine's <stdio.h>: vsnprintf_s, inline in the universal CRT's header. */
#pragma once
#include_next <stdio.h>
#ifdef __cplusplus
extern "C" {
#endif
static __inline int __cdecl vsnprintf_s(char *buffer, size_t size, size_t count,
                                        const char *format, va_list args) {
  return __stdio_common_vsnprintf_s(_CRT_INTERNAL_LOCAL_PRINTF_OPTIONS, buffer, size, count,
                                    format, NULL, args);
}
#ifdef __cplusplus
}
#endif

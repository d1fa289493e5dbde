/* The image's TLS directory, which makes the loader give each thread a copy
   of the image's __declspec(thread) / thread_local data: the compiler puts
   that data in .tls$ (between .tls and .tls$ZZZ here) and reads it through
   _tls_index; TLS callbacks go in .CRT$XLC..XLY, between these bounds. The
   linker points the directory entry at _tls_used. */
#include <windows.h>

#pragma section(".tls", long, read, write)
#pragma section(".tls$ZZZ", long, read, write)
#pragma section(".CRT$XLA", long, read)
#pragma section(".CRT$XLZ", long, read)
#pragma section(".rdata$T", long, read)

__declspec(allocate(".tls")) char _tls_start = 0;
__declspec(allocate(".tls$ZZZ")) char _tls_end = 0;
__declspec(allocate(".CRT$XLA")) PIMAGE_TLS_CALLBACK __xl_a = 0;
__declspec(allocate(".CRT$XLZ")) PIMAGE_TLS_CALLBACK __xl_z = 0;

ULONG _tls_index = 0;

__declspec(allocate(".rdata$T")) const IMAGE_TLS_DIRECTORY64 _tls_used = {
    (ULONGLONG)&_tls_start, (ULONGLONG)&_tls_end, (ULONGLONG)&_tls_index,
    (ULONGLONG)(&__xl_a + 1), 0, 0};

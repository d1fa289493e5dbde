/* thread_local objects with a dynamic initializer or a destructor. The
   compiler puts each initializer in .CRT$XDU (and names __dyn_tls_init, so
   that this file is linked) and registers each destructor, once per thread,
   with __tlregdtor. A TLS callback runs the initializers for each thread the
   process starts and the thread's destructors when it ends; a late C++
   initializer runs the initializers for the thread that loads the image,
   after the image's static constructors.
   In an EXE, exit() runs the exiting thread's destructors before the static
   ones (_register_thread_local_exe_atexit_callback), as MSVC's runtime has it.
   Gaps: threads already running when a DLL is loaded never run its
   initializers (as with MSVC without /Zc:tlsGuards); at FreeLibrary only the
   calling thread's destructors run. */
#include "startup.h"

#include <windows.h>

#pragma section(".CRT$XDA", long, read)
#pragma section(".CRT$XDZ", long, read)
#pragma section(".CRT$XCY", long, read)
#pragma section(".CRT$XLC", long, read)
#pragma section(".CRT$XLD", long, read)

__declspec(allocate(".CRT$XDA")) const _PVFV __xd_a = 0;
__declspec(allocate(".CRT$XDZ")) const _PVFV __xd_z = 0;

typedef struct destructor_entry {
  struct destructor_entry *next;
  _PVFV destructor;
} destructor_entry;

static __declspec(thread) destructor_entry *thread_destructors;

int __cdecl __tlregdtor(_PVFV destructor) {
  destructor_entry *entry = HeapAlloc(GetProcessHeap(), 0, sizeof *entry);
  if (!entry) return -1;
  entry->destructor = destructor;
  entry->next = thread_destructors;
  thread_destructors = entry;
  return 0;
}

static void run_initializers(void) {
  for (const _PVFV *initializer = &__xd_a + 1; initializer < &__xd_z; ++initializer)
    if (*initializer) (*initializer)();
}

/* Destructors in the reverse order of construction: the list's order. */
static void run_destructors(void) {
  while (thread_destructors) {
    destructor_entry *entry = thread_destructors;
    thread_destructors = entry->next;
    entry->destructor();
    HeapFree(GetProcessHeap(), 0, entry);
  }
}

void WINAPI __dyn_tls_init(PVOID image, DWORD reason, PVOID reserved) {
  (void)image;
  (void)reserved;
  /* The loader's process attach comes before the static constructors. */
  if (reason == DLL_THREAD_ATTACH) run_initializers();
}

static void WINAPI dyn_tls_dtor(PVOID image, DWORD reason, PVOID reserved) {
  (void)image;
  (void)reserved;
  if (reason == DLL_THREAD_DETACH || reason == DLL_PROCESS_DETACH) run_destructors();
}

__declspec(allocate(".CRT$XLC")) const PIMAGE_TLS_CALLBACK __xl_c = __dyn_tls_init;
__declspec(allocate(".CRT$XLD")) const PIMAGE_TLS_CALLBACK __xl_d = dyn_tls_dtor;

__declspec(dllimport) void __cdecl _register_thread_local_exe_atexit_callback(PIMAGE_TLS_CALLBACK);
extern IMAGE_DOS_HEADER __ImageBase; /* this image, as the linker places it */

static void start_loading_thread(void) {
  if (GetModuleHandleW(NULL) == (HMODULE)&__ImageBase)
    _register_thread_local_exe_atexit_callback(dyn_tls_dtor);
  run_initializers();
}

/* .CRT$XCY sorts after the compiler's .CRT$XCU: after the static constructors. */
__declspec(allocate(".CRT$XCY")) const _PVFV __msvc_startup_loading_thread_tls = start_loading_thread;

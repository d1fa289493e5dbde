/* atexit and _onexit, one per image as in MSVC's runtime: an EXE's go to the
   process's list, run by exit(); a DLL's to a list of its own, run when it
   unloads (FreeLibrary or the end of the process), before its code goes.
   Static destructors come here too: the compiler registers them with atexit.
   Gap: the order in which DLLs unload at the end of the process is the
   loader's and has not been checked against Windows. */
#include "startup.h"

static _onexit_table_t module_exit_list;
static int module_is_dll;

void __msvc_startup_use_module_exit_list(void) {
  module_is_dll = 1;
  _initialize_onexit_table(&module_exit_list);
}

void __msvc_startup_run_module_exit_list(void) {
  _execute_onexit_table(&module_exit_list);
}

int __cdecl atexit(_PVFV function) {
  if (module_is_dll) return _register_onexit_function(&module_exit_list, (_onexit_t)function);
  return _crt_atexit(function);
}

_onexit_t __cdecl _onexit(_onexit_t function) {
  return atexit((_PVFV)function) == 0 ? function : NULL;
}

/* Wine's <stdlib.h> declares both dllimport, as no DLL exports them: its
   callers go through these pointers. */
int(__cdecl *const __imp_atexit)(_PVFV) = atexit;
_onexit_t(__cdecl *const __imp__onexit)(_onexit_t) = _onexit;

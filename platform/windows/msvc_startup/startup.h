/* What the start-up runtime's files share: the initializer tables, the
   image's exit list, the stack cookie and the type-name list, declared once
   for the entry points. Without <windows.h>: onexit.c defines atexit, which
   <stdlib.h> (and so <windows.h>) would declare dllimport. */
#pragma once
#include <corecrt_startup.h>

#ifdef __cplusplus
extern "C" {
#endif

/* initializer_tables.c: .CRT$XI* holds C initializers (nonzero fails the
   start), .CRT$XC* C++ ones (static constructors), each between its bounds. */
extern _PIFV __xi_a[], __xi_z[];
extern _PVFV __xc_a[], __xc_z[];
_ACRTIMP void __cdecl _initterm(_PVFV* first, _PVFV* last);
_ACRTIMP int __cdecl _initterm_e(_PIFV* first, _PIFV* last);

/* onexit.c: a DLL's atexit goes to a list of its own, run at unload. */
void __msvc_startup_use_module_exit_list(void);
void __msvc_startup_run_module_exit_list(void);

/* security_cookie.c */
void __cdecl __security_init_cookie(void);

/* type_info_names.c */
void __msvc_startup_release_type_info_names(void);

#ifdef __cplusplus
}
#endif

/* The EXE's entry point (/entry:mainCRTStartup): the universal CRT set up
   for a console program (narrow argv and environment), the image's
   initializers, main, then exit() with its result, which runs the atexit list
   and so the static destructors.
   Gaps: no wmain or WinMain (a /subsystem:windows program works through
   main); an exception leaving main ends the process through wine's unhandled
   exception path rather than MSVC's filter. */
#include "startup.h"
#include <stdlib.h>

int __cdecl main(int argc, char **argv, char **envp);

int __cdecl mainCRTStartup(void) {
  __security_init_cookie();
  _set_app_type(_crt_console_app);
  _configure_narrow_argv(_crt_argv_unexpanded_arguments);
  _initialize_narrow_environment();
  if (_initterm_e(__xi_a, __xi_z) != 0) return 255;
  _initterm(__xc_a, __xc_z);
  exit(main(*__p___argc(), *__p___argv(), *__p__environ()));
}

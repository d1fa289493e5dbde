/* The DLL's entry point (/entry:_DllMainCRTStartup). On load: the image's
   exit list, its initializers (static constructors), then DllMain (the
   image's, or dll_main_default.c's). On unload: DllMain, then the exit list
   (atexit functions, static destructors) and the type-name list. As in MSVC's
   runtime, a DllMain that refuses the load is called for the unload too. */
#include "startup.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

static BOOL start_image(void) {
  __security_init_cookie();
  __msvc_startup_use_module_exit_list();
  if (_initterm_e(__xi_a, __xi_z) != 0) return FALSE;
  _initterm(__xc_a, __xc_z);
  return TRUE;
}

static void end_image(void) {
  __msvc_startup_run_module_exit_list();
  __msvc_startup_release_type_info_names();
}

BOOL WINAPI _DllMainCRTStartup(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH && !start_image()) return FALSE;
  BOOL result = DllMain(instance, reason, reserved);
  if (reason == DLL_PROCESS_ATTACH && !result) {
    DllMain(instance, DLL_PROCESS_DETACH, reserved);
    end_image();
  } else if (reason == DLL_PROCESS_DETACH) {
    end_image();
  }
  return result;
}

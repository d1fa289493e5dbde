/* DllMain for a DLL without one of its own: accepts every call. An object of
   its own, so that an image's own DllMain is the one linked. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  (void)instance;
  (void)reason;
  (void)reserved;
  return TRUE;
}

/* The image's list of readable type names. type_info::name() (libc++, made
   to call __std_type_info_name) has the runtime undecorate a name once, keep
   it in the type's record and list the copy under this root; the DLL entry
   frees the list when the image unloads (an EXE's go with the process). */
#include "startup.h"

#include <windows.h>

__declspec(dllimport) void __cdecl __std_type_info_destroy_list(PSLIST_HEADER root);

SLIST_HEADER __type_info_root_node;

void __msvc_startup_release_type_info_names(void) {
  __std_type_info_destroy_list(&__type_info_root_node);
}

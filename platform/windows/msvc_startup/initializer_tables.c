/* The bounds of the image's initializer tables. The compiler puts a pointer
   to each C initializer in .CRT$XIC..XIY and to each C++ one (a file's static
   constructors, in their order) in .CRT$XCU; the linker orders the .CRT$
   sections by name, so these entries enclose them. The entry points run
   both tables (_initterm_e, _initterm), which skip the null entries. */
#include "startup.h"

#pragma section(".CRT$XIA", long, read)
#pragma section(".CRT$XIZ", long, read)
#pragma section(".CRT$XCA", long, read)
#pragma section(".CRT$XCZ", long, read)

__declspec(allocate(".CRT$XIA")) _PIFV __xi_a[] = {0};
__declspec(allocate(".CRT$XIZ")) _PIFV __xi_z[] = {0};
__declspec(allocate(".CRT$XCA")) _PVFV __xc_a[] = {0};
__declspec(allocate(".CRT$XCZ")) _PVFV __xc_z[] = {0};

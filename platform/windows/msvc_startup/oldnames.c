/* The POSIX names that <io.h> (the toolchain's shim) declares as functions,
   over the universal CRT's underscore ones, as MSVC's oldnames.lib gives
   them. Wine's headers map the other old names inline. */
#include <fcntl.h>
#include <io.h>
#include <stdarg.h>

/* The permission argument is there only with _O_CREAT. */
static int permission_argument(int flags, va_list arguments) {
  return (flags & _O_CREAT) ? va_arg(arguments, int) : 0;
}

int __cdecl open(const char *path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  int permission = permission_argument(flags, arguments);
  va_end(arguments);
  return _open(path, flags, permission);
}

int __cdecl sopen(const char *path, int flags, int share, ...) {
  va_list arguments;
  va_start(arguments, share);
  int permission = permission_argument(flags, arguments);
  va_end(arguments);
  return _sopen(path, flags, share, permission);
}

# CMake toolchain for 64-bit Windows in the MSVC C++ ABI: clang-cl 14 and
# lld-link against wine's MSVC runtime DLLs (ucrtbase, vcruntime140), with
# libc++ and the start-up runtime (platform/windows/msvc_startup) linked into
# every image; the results run under wine. The toolchain prefix comes from
# tools/build-msvc-toolchain.sh, QtCore 4.8 from tools/build-qt4.sh msvc:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/clang-cl-msvc.cmake \
#         -DCADENCEHOST_MSVC_TOOLCHAIN=$(tools/build-msvc-toolchain.sh | tail -1) \
#         -DCADENCEHOST_QT_MSVC_PREFIX=<qt> -DQT_QMAKE_EXECUTABLE=<qt>/bin/qmake ...
# (either prefix may be an environment variable of the same name instead).
# #pragma comment(lib) works, except for the MSVC runtime's own names
# (msvcrt.lib, oldnames.lib): what those hold is linked here.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
# CMake's compiler check links its probe without the libraries every image
# needs (below), so it cannot read the pointer size: x64 is 8 bytes. Without
# it the installed package's version file would check no pointer size.
set(CMAKE_C_SIZEOF_DATA_PTR 8)
set(CMAKE_CXX_SIZEOF_DATA_PTR 8)

foreach(_var CADENCEHOST_MSVC_TOOLCHAIN CADENCEHOST_QT_MSVC_PREFIX)
  if(NOT ${_var} AND DEFINED ENV{${_var}})
    set(${_var} "$ENV{${_var}}")
  endif()
endforeach()
set(CADENCEHOST_MSVC_TOOLCHAIN "${CADENCEHOST_MSVC_TOOLCHAIN}" CACHE PATH
    "MSVC ABI toolchain prefix, as made by tools/build-msvc-toolchain.sh")
set(CADENCEHOST_QT_MSVC_PREFIX "${CADENCEHOST_QT_MSVC_PREFIX}" CACHE PATH
    "QtCore 4.8 built in the MSVC ABI, as made by tools/build-qt4.sh msvc (optional)")
# Set by tools/build-msvc-toolchain.sh alone, while it builds the libraries
# every image links: nothing is linked by default yet.
option(CADENCEHOST_MSVC_BOOTSTRAP "Building the toolchain's own runtime libraries" OFF)
# try_compile projects read this file again: hand the settings on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES
     CADENCEHOST_MSVC_TOOLCHAIN CADENCEHOST_QT_MSVC_PREFIX CADENCEHOST_MSVC_BOOTSTRAP)

set(_prefix "${CADENCEHOST_MSVC_TOOLCHAIN}")
if(NOT IS_DIRECTORY "${_prefix}/lib" OR NOT IS_DIRECTORY "${_prefix}/include/shim")
  message(FATAL_ERROR "No MSVC ABI toolchain prefix: give -DCADENCEHOST_MSVC_TOOLCHAIN=<prefix> "
                      "(tools/build-msvc-toolchain.sh prints it), not '${_prefix}'")
endif()
set(_wine_include /usr/include/wine/wine)
if(NOT EXISTS "${_wine_include}/msvcrt/corecrt.h")
  message(FATAL_ERROR "No wine headers in ${_wine_include} (Debian: apt-get install libwine-dev)")
endif()

set(CMAKE_C_COMPILER clang-cl-14)
set(CMAKE_CXX_COMPILER clang-cl-14)
set(CMAKE_C_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_CXX_COMPILER_TARGET x86_64-pc-windows-msvc)
set(CMAKE_LINKER lld-link-14)
set(CMAKE_AR llvm-lib-14)
set(CMAKE_RC_COMPILER llvm-rc-14)
set(CMAKE_MT llvm-mt-14)
# /MD everywhere, in projects that predate CMake's runtime selection too.
set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreadedDLL)
set(CMAKE_POLICY_DEFAULT_CMP0091 NEW)

# The system headers, in search order: libc++, the shims over wine's
# universal CRT headers, those headers, wine's Windows headers. WCHAR is
# wchar_t as in the SDK; the compiler has __try/__except (wine's <excpt.h>
# then declares GetExceptionCode); wine's <winnt.h> would redefine a builtin.
set(_flags "/imsvc ${_prefix}/include/c++/v1 /imsvc ${_prefix}/include/shim"
           "/imsvc ${_wine_include}/msvcrt /imsvc ${_wine_include}/windows"
           "/D_MSVCR_VER=140 /DWINE_UNICODE_NATIVE /DUSE_COMPILER_EXCEPTIONS"
           "/D_InterlockedCompareExchange128=__wine_InterlockedCompareExchange128 /GS-")
string(JOIN " " _flags ${_flags})
set(CMAKE_C_FLAGS_INIT "${_flags}")
set(CMAKE_CXX_FLAGS_INIT "${_flags}")

# Resource scripts: preprocessed by clang-cl, compiled by llvm-rc; both take
# -I and -D (CMake's own default here is -DWIN32).
set(CMAKE_RC_FLAGS_INIT "-DWIN32 -I ${_wine_include}/windows -I ${_wine_include}/msvcrt")

set(_link "/libpath:${_prefix}/lib /nodefaultlib:msvcrt.lib /nodefaultlib:oldnames.lib /manifest:no")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_link} /entry:mainCRTStartup")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_link} /entry:_DllMainCRTStartup")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_link} /entry:_DllMainCRTStartup")

# What every image links, in this order: the start-up runtime first (its
# atexit and operator new are the image's own), libc++, then the DLLs'
# import libraries. The toolchain's own build links nothing yet and checks
# the compilers with static libraries.
if(CADENCEHOST_MSVC_BOOTSTRAP)
  set(_libraries "")
  set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)
else()
  set(_libraries msvc_startup_dll.lib msvc_startup_exe.lib msvc_startup_common.lib libc++.lib
                 msvcp140.lib ucrtbase.lib vcruntime140.lib kernel32.lib user32.lib advapi32.lib
                 shell32.lib ole32.lib oleaut32.lib uuid.lib)
  string(JOIN " " _libraries ${_libraries})
endif()
# A cache entry: CMake's platform files would replace an _INIT value.
set(CMAKE_C_STANDARD_LIBRARIES "${_libraries}" CACHE STRING "Libraries every C image links")
set(CMAKE_CXX_STANDARD_LIBRARIES "${_libraries}" CACHE STRING "Libraries every C++ image links")

set(VEL_CROSS_ROOT "${_prefix}")
set(VEL_CROSS_QT_PREFIX_VARIABLE CADENCEHOST_QT_MSVC_PREFIX)
include(${CMAKE_CURRENT_LIST_DIR}/wine-cross.cmake)

# CMake toolchain for 64-bit Windows with mingw-w64 (posix threads), the
# results run under wine. QtCore comes from tools/build-qt-mingw.sh:
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#         -DCADENCEHOST_QT_MINGW_PREFIX=$(tools/build-qt-mingw.sh | tail -1) ...
# (or the same name as an environment variable).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)

if(NOT CADENCEHOST_QT_MINGW_PREFIX AND DEFINED ENV{CADENCEHOST_QT_MINGW_PREFIX})
  set(CADENCEHOST_QT_MINGW_PREFIX "$ENV{CADENCEHOST_QT_MINGW_PREFIX}")
endif()
set(CADENCEHOST_QT_MINGW_PREFIX "${CADENCEHOST_QT_MINGW_PREFIX}" CACHE PATH
    "QtCore for mingw-w64, as installed by tools/build-qt-mingw.sh")
# try_compile projects read this file again: hand the prefix on to them.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CADENCEHOST_QT_MINGW_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${triple})
if(CADENCEHOST_QT_MINGW_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH "${CADENCEHOST_QT_MINGW_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and try_run go through wine; the launcher finds Qt5Core.dll through
# the prefix passed here.
get_filename_component(_wine_run "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env "CADENCEHOST_QT_MINGW_PREFIX=${CADENCEHOST_QT_MINGW_PREFIX}" "${_wine_run}")

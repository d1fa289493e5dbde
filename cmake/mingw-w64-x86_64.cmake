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

set(VEL_CROSS_ROOT "/usr/${triple}")
set(VEL_CROSS_QT_PREFIX_VARIABLE CADENCEHOST_QT_MINGW_PREFIX)
include(${CMAKE_CURRENT_LIST_DIR}/wine-cross.cmake)

# What both Windows toolchains share: libraries, headers and packages from
# the toolchain's root and the Qt prefix only, programs from this machine,
# and tests (and try_run) under wine, whose launcher finds the Qt DLLs
# through the prefix. Set first: VEL_CROSS_ROOT, and VEL_CROSS_QT_PREFIX_VARIABLE,
# the name of the variable that holds the Qt prefix.
set(CMAKE_FIND_ROOT_PATH "${VEL_CROSS_ROOT}")
if(${VEL_CROSS_QT_PREFIX_VARIABLE})
  list(APPEND CMAKE_FIND_ROOT_PATH "${${VEL_CROSS_QT_PREFIX_VARIABLE}}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
get_filename_component(_wine_run "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env "${VEL_CROSS_QT_PREFIX_VARIABLE}=${${VEL_CROSS_QT_PREFIX_VARIABLE}}" "${_wine_run}")

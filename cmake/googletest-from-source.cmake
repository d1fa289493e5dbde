# GoogleTest built from the sources Debian ships in /usr/src/googletest, for
# cross builds (no GoogleTest package exists for the target). Gives the same
# GTest::gtest and GTest::gtest_main targets as find_package(GTest).
set(VEL_GOOGLETEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest sources for cross builds")
if(NOT EXISTS ${VEL_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${VEL_GOOGLETEST_SOURCE} (Debian: apt-get install libgtest-dev)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VEL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Its sources are not ours: no warnings of ours for them.
target_compile_options(gtest PRIVATE $<IF:$<BOOL:${MSVC}>,/w,-w>)
target_compile_options(gtest_main PRIVATE $<IF:$<BOOL:${MSVC}>,/w,-w>)
if(NOT TARGET GTest::gtest)  # newer GoogleTest makes them itself
  add_library(GTest::gtest ALIAS gtest)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()

# What `cmake --install` puts into the prefix: the contract headers, the
# runtime library a host links, the module kit a module links, the module,
# cadence-host, and the CMake and pkg-config descriptions hosts and module
# authors find them by. Everything is placed relative
# to the prefix, so the installed tree works wherever it is moved.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(VEL_CMAKE_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/CadenceHost)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/cadencehost DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_BINARY_DIR}/include/cadencehost/version.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/cadencehost)

install(TARGETS velruntime velsdk velmodule EXPORT CadenceHostTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
get_filename_component(VEL_MODULE_EXPORTS_INSTALL_NAME ${VEL_MODULE_EXPORTS_INSTALL_PATH} NAME)
install(FILES ${VEL_MODULE_EXPORTS_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/cadencehost
        RENAME ${VEL_MODULE_EXPORTS_INSTALL_NAME})
install(TARGETS cadencehost_mod EXPORT CadenceHostTargets
        LIBRARY DESTINATION ${VEL_MODULE_INSTALL_DIR}
        RUNTIME DESTINATION ${VEL_MODULE_INSTALL_DIR})
install(TARGETS cadence-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(EXPORT CadenceHostTargets NAMESPACE CadenceHost:: DESTINATION ${VEL_CMAKE_PACKAGE_DIR})
# Where the package looks first for the module's Qt (a hint: a Qt found the
# usual way serves as well).
if(VEL_QT_VERSION_MAJOR EQUAL 4)
  set(VEL_QT_HINT "${QT_QMAKE_EXECUTABLE}")
else()
  set(VEL_QT_HINT "${Qt${VEL_QT_VERSION_MAJOR}_DIR}")
endif()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/CadenceHostConfig.cmake.in
  ${PROJECT_BINARY_DIR}/CadenceHostConfig.cmake INSTALL_DESTINATION ${VEL_CMAKE_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CadenceHostConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CadenceHostConfig.cmake ${PROJECT_BINARY_DIR}/CadenceHostConfigVersion.cmake
        DESTINATION ${VEL_CMAKE_PACKAGE_DIR})

file(RELATIVE_PATH VEL_PC_TO_PREFIX /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
string(REGEX REPLACE "/$" "" VEL_PC_TO_PREFIX "${VEL_PC_TO_PREFIX}")
set(VEL_MODULE_FILE_NAME cadencehost_mod${CMAKE_SHARED_MODULE_SUFFIX})
get_target_property(VEL_RUNTIME_OUTPUT_NAME velruntime OUTPUT_NAME)
get_target_property(VEL_MODULE_KIT_OUTPUT_NAME velmodule OUTPUT_NAME)
# The pkg-config name of the Qt core library the module was built with.
if(VEL_QT_VERSION_MAJOR EQUAL 4)
  set(VEL_QT_PKG_CONFIG_NAME QtCore)
else()
  set(VEL_QT_PKG_CONFIG_NAME Qt${VEL_QT_VERSION_MAJOR}Core)
endif()
foreach(pc cadencehost-sdk cadencehost-module)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

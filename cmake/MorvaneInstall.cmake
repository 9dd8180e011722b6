# What `cmake --install` puts under the prefix: the shared library with its
# soname and version, the public headers, the command-line host, a CMake
# package (find_package(Morvane CONFIG) gives Morvane::morvane), a pkg-config
# file and the host's manual page. Everything is found relative to where it
# lands, so an installed tree can be moved (the test suite installs into a
# scratch prefix, the Debian package into /usr).
include(CMakePackageConfigHelpers)

set(MORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Morvane)

target_include_directories(morvane PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
set_target_properties(morvane PROPERTIES EXPORT_NAME morvane)

install(TARGETS morvane EXPORT MorvaneTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development)
# The host finds the library beside it (../lib) wherever the tree lands.
set_target_properties(morvane-host PROPERTIES INSTALL_RPATH "$ORIGIN/../${CMAKE_INSTALL_LIBDIR}")
install(TARGETS morvane-host RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(DIRECTORY include/morvane DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT development FILES_MATCHING PATTERN "*.h")
install(EXPORT MorvaneTargets NAMESPACE Morvane:: DESTINATION ${MORVANE_CMAKE_DIR}
  COMPONENT development)

configure_package_config_file(cmake/MorvaneConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/MorvaneConfig.cmake
  INSTALL_DESTINATION ${MORVANE_CMAKE_DIR})
# A newer minor release keeps the interface of an older one; a new major
# number breaks it (MvIsCompatibleVersion answers the same question at run time).
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/MorvaneConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/MorvaneConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/MorvaneConfigVersion.cmake
  DESTINATION ${MORVANE_CMAKE_DIR} COMPONENT development)

# pkg-config: the prefix is worked out from where the .pc file lies.
file(RELATIVE_PATH MORVANE_PC_TO_PREFIX
  /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" MORVANE_PC_TO_PREFIX "${MORVANE_PC_TO_PREFIX}")
configure_file(cmake/morvane.pc.in ${CMAKE_CURRENT_BINARY_DIR}/morvane.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/morvane.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
# The manual page is installed compressed (cmake/MorvanePackage.cmake).

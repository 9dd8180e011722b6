# A Debian package of exactly what `cmake --install` puts under the prefix,
# made by `cpack -G DEB` in the build folder. Its library dependencies are
# worked out by dpkg-shlibdeps from the binaries; the default font is
# declared by hand because the engine opens it by path.
set(MORVANE_DEB_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/morvane)

# Debian wants the copyright file and a compressed changelog in the package's
# documentation folder, and compressed manual pages.
install(FILES cmake/debian/copyright DESTINATION ${MORVANE_DEB_DOC_DIR} COMPONENT runtime)
set(MORVANE_DEB_CHANGELOG ${CMAKE_CURRENT_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${MORVANE_DEB_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/debian
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian/changelog > ${MORVANE_DEB_CHANGELOG}
  DEPENDS cmake/debian/changelog)
set(MORVANE_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/man/morvane.1.gz)
add_custom_command(OUTPUT ${MORVANE_MAN_PAGE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
  COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/man/morvane.1 > ${MORVANE_MAN_PAGE}
  DEPENDS man/morvane.1)
add_custom_target(morvane-compressed ALL DEPENDS ${MORVANE_DEB_CHANGELOG} ${MORVANE_MAN_PAGE})
install(FILES ${MORVANE_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT runtime)
install(FILES ${MORVANE_DEB_CHANGELOG} DESTINATION ${MORVANE_DEB_DOC_DIR} COMPONENT runtime)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VENDOR "Morvane")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Morvane maintainers <maintainers@morvane.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "scripting language for image and video processing
Morvane is the engine of an English-like scripting language for image and
video processing: a shared library, the command-line host morvane that runs
scripts, the headers, CMake package and pkg-config file to build hosts and
native plug-ins against it, and the user's guide.")
# The shared library: dpkg runs ldconfig through its trigger.
configure_file(cmake/debian/triggers ${CMAKE_CURRENT_BINARY_DIR}/debian/triggers COPYONLY)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/debian/triggers)
include(CPack)

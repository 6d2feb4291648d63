# What `cmake --install` puts beside the programs (installed where they are
# built): the two libraries, their headers, the CMake package, the
# pkg-config file and, with CPack, a Debian package of it all.
include(CMakePackageConfigHelpers)

# Installed beside each other as they are built, so one run path serves both
# trees and CMake has nothing to rewrite (see nebo_install).
set_target_properties(lumo nebo PROPERTIES BUILD_WITH_INSTALL_RPATH ON)
install(TARGETS lumo nebo EXPORT neboTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
# The interfaces of every library folder; the backends' implementations
# stay private.
foreach(folder IN LISTS LUMO_FOLDERS NEBO_FOLDERS)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${folder}/ DESTINATION ${NEBO_INSTALL_INCLUDE_DIR}/${folder}
          FILES_MATCHING PATTERN "*.h" PATTERN posix EXCLUDE PATTERN windows EXCLUDE)
endforeach()

install(EXPORT neboTargets NAMESPACE nebo:: DESTINATION ${NEBO_INSTALL_CMAKE_DIR})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/neboConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/neboConfig.cmake
                              INSTALL_DESTINATION ${NEBO_INSTALL_CMAKE_DIR}
                              PATH_VARS NEBO_INSTALL_PLUGIN_DIR)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/neboConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/neboConfig.cmake ${PROJECT_BINARY_DIR}/neboConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/neboAddPlugin.cmake
        DESTINATION ${NEBO_INSTALL_CMAKE_DIR})

# The pkg-config file finds the prefix from its own folder, so that the tree
# may be installed or copied anywhere.
file(RELATIVE_PATH NEBO_PC_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" NEBO_PC_PREFIX "${NEBO_PC_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/nebo.pc.in ${PROJECT_BINARY_DIR}/nebo.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/nebo.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

# cpack -G DEB in the build folder makes nebo_VERSION_ARCH.deb for /usr.
set(CPACK_PACKAGE_NAME nebo)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "out-of-process media plugin host: libraries, slave, plugins and nebo_probe")
set(CPACK_PACKAGE_CONTACT "nebo developers <nebo@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# Crash reports name modules and addresses from the dynamic symbols, which
# stripping keeps.
set(CPACK_STRIP_FILES ON)
# The run-time libraries come from the programs' own dependencies; what
# building against the package needs besides is only suggested.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cmake, pkg-config, g++, libtinyxml2-dev")
include(CPack)

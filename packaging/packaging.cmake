# Installation layout and packages. Included from the top-level CMakeLists.txt
# once the ostrivane target exists.
#
#   cmake --install build --prefix ~/.local     installs into a prefix
#   cd build && cpack                           builds ostrivane_<version>_<arch>.deb

include(GNUInstallDirs)

if(NOT DEFINED CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS)
  set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

install(TARGETS ostrivane RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")

set(_ostrivane_packaging_dir "${CMAKE_CURRENT_LIST_DIR}")

if(UNIX)
  # The manual page carries the project's version. Debian wants manual pages
  # compressed, so it is installed gzipped wherever gzip is at hand.
  configure_file("${_ostrivane_packaging_dir}/ostrivane.1.in" "${CMAKE_BINARY_DIR}/ostrivane.1" @ONLY)
  find_program(OSTRIVANE_GZIP gzip)
  mark_as_advanced(OSTRIVANE_GZIP)
  if(OSTRIVANE_GZIP)
    add_custom_command(
      OUTPUT "${CMAKE_BINARY_DIR}/ostrivane.1.gz"
      COMMAND "${OSTRIVANE_GZIP}" -9 -n -f -k ostrivane.1
      DEPENDS "${CMAKE_BINARY_DIR}/ostrivane.1"
      WORKING_DIRECTORY "${CMAKE_BINARY_DIR}"
      COMMENT "Compressing the manual page"
      VERBATIM)
    add_custom_target(ostrivane_manual ALL DEPENDS "${CMAKE_BINARY_DIR}/ostrivane.1.gz")
    set(_ostrivane_manual "${CMAKE_BINARY_DIR}/ostrivane.1.gz")
  else()
    set(_ostrivane_manual "${CMAKE_BINARY_DIR}/ostrivane.1")
  endif()
  install(FILES "${_ostrivane_manual}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
endif()

if(UNIX AND NOT APPLE)
  # The freedesktop menu entry and its icon.
  install(FILES "${_ostrivane_packaging_dir}/ostrivane.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  install(FILES "${_ostrivane_packaging_dir}/ostrivane.svg"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
endif()

# Packages.
set(OSTRIVANE_PACKAGE_MAINTAINER
  "Ostrivane maintainers <maintainers@users.noreply.c-seed-0f020151.example>"
  CACHE STRING "Maintainer named in the packages")

set(CPACK_PACKAGE_NAME "ostrivane")
set(CPACK_PACKAGE_VENDOR "Ostrivane")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${OSTRIVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive tutor for 2-D homogeneous transformations")
# Debian shows the description as written: keep lines short.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Ostrivane shows a yellow stick figure drawn through a 3x3 homogeneous"
  "transformation matrix, against blue coordinate axes. Click an entry of the"
  "matrix, type a new number, and the figure moves, scales, rotates, shears or"
  "mirrors on the next frame. It is meant for teaching and learning how such"
  "matrices act on the plane.")
set(CPACK_STRIP_FILES ON)

find_program(OSTRIVANE_DPKG_DEB dpkg-deb)
mark_as_advanced(OSTRIVANE_DPKG_DEB)
if(OSTRIVANE_DPKG_DEB)
  set(CPACK_GENERATOR "DEB")
else()
  set(CPACK_GENERATOR "TGZ")
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${OSTRIVANE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# Depends is worked out from the libraries the binary really links (the
# freeglut runtime, the GL libraries, the C and C++ runtimes), with the
# versions this build needs; packaging.cpack.cmake insists on the tool.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PROJECT_CONFIG_FILE "${_ostrivane_packaging_dir}/packaging.cpack.cmake")

set(CPACK_SOURCE_GENERATOR "TGZ")
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

include(CPack)

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

# Where the lesson sheet, its pictures, the handout and the copyright file
# go: Debian's /usr/share/doc/ostrivane (GNUInstallDirs' DOCDIR would use the
# project's capitalised name).
set(OSTRIVANE_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/ostrivane")

# The printable handout of the lesson sheet, made by tools/handout.sh when
# its tools (pandoc, weasyprint, ImageMagick, the DejaVu fonts) are installed.
option(OSTRIVANE_HANDOUT "Make the printable lesson handout, lessons.pdf, and install it" ON)
set(OSTRIVANE_HANDOUT_PDF "")
if(UNIX AND NOT APPLE AND OSTRIVANE_HANDOUT)
  find_program(OSTRIVANE_BASH bash)
  mark_as_advanced(OSTRIVANE_BASH)
  set(_ostrivane_handout_missing "bash")
  if(OSTRIVANE_BASH)
    execute_process(
      COMMAND "${OSTRIVANE_BASH}" "${PROJECT_SOURCE_DIR}/tools/handout.sh" --check
      OUTPUT_VARIABLE _ostrivane_handout_missing
      OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE _ostrivane_handout_status)
  endif()
  if(OSTRIVANE_BASH AND _ostrivane_handout_status EQUAL 0)
    set(OSTRIVANE_HANDOUT_PDF "${CMAKE_BINARY_DIR}/handout/lessons.pdf")
    file(GLOB _ostrivane_lesson_pictures CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/docs/images/lessons/*.png")
    add_custom_command(
      OUTPUT "${OSTRIVANE_HANDOUT_PDF}"
      COMMAND "${OSTRIVANE_BASH}" "${PROJECT_SOURCE_DIR}/tools/handout.sh" --no-install
        --out "${OSTRIVANE_HANDOUT_PDF}"
      DEPENDS "${PROJECT_SOURCE_DIR}/tools/handout.sh" "${PROJECT_SOURCE_DIR}/docs/lessons.md"
        ${_ostrivane_lesson_pictures}
      COMMENT "Making the lesson handout, lessons.pdf"
      VERBATIM)
    add_custom_target(ostrivane_handout ALL DEPENDS "${OSTRIVANE_HANDOUT_PDF}")
    install(FILES "${OSTRIVANE_HANDOUT_PDF}" DESTINATION "${OSTRIVANE_DOC_DIR}")
    install(FILES "${CMAKE_BINARY_DIR}/handout/worksheet.pdf" DESTINATION "${OSTRIVANE_DOC_DIR}")
  else()
    message(STATUS "Lesson handout (lessons.pdf) left out of the package: it needs "
      "${_ostrivane_handout_missing} (sudo apt-get install ${_ostrivane_handout_missing})")
  endif()
endif()

if(UNIX)
  # The manual page carries the project's version and names the installed
  # lesson sheet, so it is written when it is installed
  # (install-manual.cmake). Debian wants manual pages compressed, so it is
  # installed gzipped wherever gzip is at hand.
  find_program(OSTRIVANE_GZIP gzip)
  mark_as_advanced(OSTRIVANE_GZIP)
  set(_ostrivane_handout_name "")
  if(OSTRIVANE_HANDOUT_PDF)
    get_filename_component(_ostrivane_handout_name "${OSTRIVANE_HANDOUT_PDF}" NAME)
  endif()
  set(_ostrivane_gzip "")
  if(OSTRIVANE_GZIP)
    set(_ostrivane_gzip "${OSTRIVANE_GZIP}")
  endif()
  install(CODE "
    set(OSTRIVANE_MANUAL_IN \"${_ostrivane_packaging_dir}/ostrivane.1.in\")
    set(OSTRIVANE_MANUAL_WORK \"${CMAKE_BINARY_DIR}/manual\")
    set(OSTRIVANE_VERSION \"${PROJECT_VERSION}\")
    set(OSTRIVANE_MAN_DIR \"${CMAKE_INSTALL_MANDIR}\")
    set(OSTRIVANE_DOC_DIR \"${OSTRIVANE_DOC_DIR}\")
    set(OSTRIVANE_HANDOUT_PDF \"${_ostrivane_handout_name}\")
    set(OSTRIVANE_GZIP \"${_ostrivane_gzip}\")")
  install(SCRIPT "${_ostrivane_packaging_dir}/install-manual.cmake")
endif()

if(UNIX AND NOT APPLE)
  # The freedesktop menu entry and its icon.
  install(FILES "${_ostrivane_packaging_dir}/ostrivane.desktop"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
  install(FILES "${_ostrivane_packaging_dir}/ostrivane.svg"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
  # The AppStream entry, by which software centres list Ostrivane.
  configure_file("${_ostrivane_packaging_dir}/org.ostrivane.ostrivane.metainfo.xml.in"
    "${CMAKE_BINARY_DIR}/org.ostrivane.ostrivane.metainfo.xml" @ONLY)
  install(FILES "${CMAKE_BINARY_DIR}/org.ostrivane.ostrivane.metainfo.xml"
    DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
  # The lesson sheet with its pictures, where its links find them.
  install(FILES "${PROJECT_SOURCE_DIR}/docs/lessons.md" DESTINATION "${OSTRIVANE_DOC_DIR}")
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/images/lessons"
    DESTINATION "${OSTRIVANE_DOC_DIR}/images"
    FILES_MATCHING PATTERN "*.png")
endif()

# Packages.
set(OSTRIVANE_PACKAGE_MAINTAINER
  "Ostrivane maintainers <maintainers@users.noreply.c-seed-0f020151.example>"
  CACHE STRING "Maintainer named in the packages")

if(UNIX AND NOT APPLE)
  # Debian's machine-readable copyright file, with the licence text of
  # LICENSE.
  file(READ "${PROJECT_SOURCE_DIR}/LICENSE" _ostrivane_licence)
  string(FIND "${_ostrivane_licence}" "Permission is hereby granted" _ostrivane_at)
  if(_ostrivane_at LESS 0)
    message(FATAL_ERROR "LICENSE does not hold the MIT licence's text that the copyright file repeats")
  endif()
  string(SUBSTRING "${_ostrivane_licence}" ${_ostrivane_at} -1 _ostrivane_licence)
  string(STRIP "${_ostrivane_licence}" _ostrivane_licence)
  string(REPLACE "\n\n" "\n.\n" _ostrivane_licence "${_ostrivane_licence}")
  string(REPLACE "\n" "\n " OSTRIVANE_MIT_TEXT " ${_ostrivane_licence}")
  set(OSTRIVANE_COPYRIGHT_COMMENT "")
  if(OSTRIVANE_HANDOUT_PDF)
    string(CONCAT OSTRIVANE_COPYRIGHT_COMMENT
      "Comment: The handout, lessons.pdf, embeds parts of the DejaVu fonts, whose\n"
      " licence (the Bitstream Vera licence, with DejaVu's changes in the public\n"
      " domain) lets them be embedded in documents.\n")
  endif()
  configure_file("${_ostrivane_packaging_dir}/copyright.in" "${CMAKE_BINARY_DIR}/copyright" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")
  install(FILES "${CMAKE_BINARY_DIR}/copyright" DESTINATION "${OSTRIVANE_DOC_DIR}")
endif()

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

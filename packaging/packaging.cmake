# Installation layout and the Debian package:
#   cmake --install build --prefix ~/.local     installs into a prefix
#   cd build && cpack                           builds ostrivane_<version>_<arch>.deb
include(GNUInstallDirs)
set(pkg "${PROJECT_SOURCE_DIR}/packaging")
# Debian's /usr/share/doc/ostrivane (GNUInstallDirs' DOCDIR would use the
# project's capitalised name): the sheet, its pictures, the handout, the
# changelog and the copyright file.
set(OSTRIVANE_DOC_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/ostrivane")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS ostrivane)
install(FILES "${pkg}/ostrivane.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${pkg}/ostrivane.svg" DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES docs/lessons.md DESTINATION "${OSTRIVANE_DOC_DIR}")
install(DIRECTORY docs/images/lessons DESTINATION "${OSTRIVANE_DOC_DIR}/images" FILES_MATCHING PATTERN "*.png")
# The AppStream entry lists every version of the changelog.
string(REGEX REPLACE "## \\[([0-9.]+)\\] - ([0-9-]+)" "<release version=\"\\1\" date=\"\\2\"/>"
  OSTRIVANE_APPSTREAM_RELEASES "${OSTRIVANE_RELEASES}")
string(REPLACE ";" "\n    " OSTRIVANE_APPSTREAM_RELEASES "${OSTRIVANE_APPSTREAM_RELEASES}")
configure_file("${pkg}/org.ostrivane.ostrivane.metainfo.xml.in" org.ostrivane.ostrivane.metainfo.xml @ONLY)
install(FILES "${CMAKE_BINARY_DIR}/org.ostrivane.ostrivane.metainfo.xml" DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")

# The printable handouts, the teacher's lessons.pdf and the students'
# worksheet.pdf, made by docs/lessons/handout.sh when its tools are installed.
option(OSTRIVANE_HANDOUT "Make the printable handouts, lessons.pdf and worksheet.pdf, and install them" ON)
if(OSTRIVANE_HANDOUT)
  execute_process(COMMAND bash "${PROJECT_SOURCE_DIR}/docs/lessons/handout.sh" --check
    OUTPUT_VARIABLE missing OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  if(status EQUAL 0)
    set(OSTRIVANE_HANDOUT_PDF "${CMAKE_BINARY_DIR}/handout/lessons.pdf")
    set(worksheet "${CMAKE_BINARY_DIR}/handout/worksheet.pdf")
    file(GLOB pictures CONFIGURE_DEPENDS docs/images/lessons/*.png)
    add_custom_command(OUTPUT "${OSTRIVANE_HANDOUT_PDF}" "${worksheet}"
      COMMAND ${CMAKE_COMMAND} -E env OSTRIVANE_FIGURE_STROKES=$<TARGET_FILE:ostrivane_figure_strokes>
        bash "${PROJECT_SOURCE_DIR}/docs/lessons/handout.sh" --no-install --out "${OSTRIVANE_HANDOUT_PDF}"
        --worksheet "${worksheet}"
      DEPENDS docs/lessons/handout.sh docs/lessons.md docs/lessons/handout.lua docs/lessons/handout.css
        docs/lessons/exercises.txt docs/lessons/key_points.txt docs/lessons/tagged_pdf.py ostrivane_figure_strokes
        ${pictures}
      COMMENT "Making the handouts, lessons.pdf and worksheet.pdf" VERBATIM)
    add_custom_target(ostrivane_handout ALL DEPENDS "${OSTRIVANE_HANDOUT_PDF}")
    install(FILES "${OSTRIVANE_HANDOUT_PDF}" "${worksheet}" DESTINATION "${OSTRIVANE_DOC_DIR}")
    set(OSTRIVANE_SEE_ALSO_HANDOUT ", the same sheet as a printable handout,\n.IR \\*[doc]/lessons.pdf ,\nand the students' worksheet without the answers,\n.IR \\*[doc]/worksheet.pdf ")
    string(CONCAT OSTRIVANE_COPYRIGHT_COMMENT
      "Comment: The handouts, lessons.pdf and worksheet.pdf, embed parts of the\n"
      " DejaVu fonts, whose licence (the Bitstream Vera licence, with DejaVu's\n"
      " changes in the public domain) lets them be embedded in documents.\n")
  else()
    message(STATUS "Handouts (lessons.pdf, worksheet.pdf) left out of the package: they need ${missing} "
      "(sudo apt-get install ${missing})")
  endif()
endif()

# The manual page names the sheet and the handout where this installation puts
# them (/usr in the package, the --prefix of cmake --install), so it is
# finished when it is installed; slashes may break the long paths across lines.
set(OSTRIVANE_MAN_DOC "@OSTRIVANE_MAN_DOC@")
configure_file("${pkg}/ostrivane.1.in" manual/ostrivane.1.in @ONLY)
string(CONFIGURE [[
  set(doc "@OSTRIVANE_DOC_DIR@")
  cmake_path(ABSOLUTE_PATH doc BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}")
  string(REPLACE "/" "/\\:" OSTRIVANE_MAN_DOC "${doc}")
  string(MD5 work "$ENV{DESTDIR}${doc}") # a folder per place, for installs at once
  set(work "@CMAKE_BINARY_DIR@/manual/${work}")
  configure_file("@CMAKE_BINARY_DIR@/manual/ostrivane.1.in" "${work}/ostrivane.1" @ONLY)
  execute_process(COMMAND gzip -9nf "${work}/ostrivane.1" COMMAND_ERROR_IS_FATAL ANY)
  file(INSTALL "${work}/ostrivane.1.gz" DESTINATION "${CMAKE_INSTALL_PREFIX}/@CMAKE_INSTALL_MANDIR@/man1")
]] code @ONLY)
install(CODE "${code}")

# Debian's machine-readable copyright file with the licence text of LICENSE,
# and the changelog, compressed as Debian wants it.
set(OSTRIVANE_PACKAGE_MAINTAINER "Ostrivane maintainers <maintainers@users.noreply.c-seed-0f020151.example>"
  CACHE STRING "Maintainer named in the package")
file(READ LICENSE licence)
string(REGEX REPLACE "^.*(Permission is hereby granted)" "\\1" licence "${licence}")
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " OSTRIVANE_MIT_TEXT " ${licence}")
configure_file("${pkg}/copyright.in" copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS LICENSE)
execute_process(COMMAND gzip -9nc CHANGELOG.md OUTPUT_FILE "${CMAKE_BINARY_DIR}/CHANGELOG.md.gz"
  WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}" COMMAND_ERROR_IS_FATAL ANY)
install(FILES "${CMAKE_BINARY_DIR}/copyright" "${CMAKE_BINARY_DIR}/CHANGELOG.md.gz" DESTINATION "${OSTRIVANE_DOC_DIR}")
# What lintian is told to leave, each with its reason.
install(FILES "${pkg}/ostrivane.lintian-overrides" DESTINATION "${CMAKE_INSTALL_DATADIR}/lintian/overrides"
  RENAME ostrivane)

set(CPACK_PACKAGE_NAME "ostrivane")
set(CPACK_PACKAGE_VENDOR "Ostrivane")
set(CPACK_PACKAGE_CONTACT "${OSTRIVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interactive tutor for 2-D homogeneous transformations")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Ostrivane shows a yellow stick figure drawn through a 3x3 homogeneous"
  "transformation matrix, against blue coordinate axes. Click an entry of the"
  "matrix, type a new number, and the figure moves, scales, rotates, shears or"
  "mirrors on the next frame. It is meant for teaching and learning how such"
  "matrices act on the plane.")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "TGZ")
# Depends is worked out by dpkg-shlibdeps from the libraries the program
# links, with the versions this build needs.
find_program(OSTRIVANE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(OSTRIVANE_DPKG_SHLIBDEPS)
  set(CPACK_GENERATOR "DEB")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "education")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

# Installs the manual page; run by `cmake --install` and by cpack. It is
# written at install time, not at build time, so that its SEE ALSO names the
# lesson sheet and handout where this installation puts them: /usr for the
# Debian package, the --prefix of `cmake --install`. packaging.cmake sets
# beforehand:
#   OSTRIVANE_MANUAL_IN     the page's source, ostrivane.1.in
#   OSTRIVANE_MANUAL_WORK   a folder of the build tree to write it in
#   OSTRIVANE_VERSION       the project's version
#   OSTRIVANE_MAN_DIR       where manual pages go (relative to the prefix)
#   OSTRIVANE_DOC_DIR       where the lesson sheet goes (relative to the prefix)
#   OSTRIVANE_HANDOUT_PDF   the handout's file name, empty when it is left out
#   OSTRIVANE_GZIP          gzip, or empty: Debian wants the page compressed

function(ostrivane_install_path relative result)
  if(IS_ABSOLUTE "${relative}")
    set(${result} "${relative}" PARENT_SCOPE)
  else()
    set(${result} "${CMAKE_INSTALL_PREFIX}/${relative}" PARENT_SCOPE)
  endif()
endfunction()

ostrivane_install_path("${OSTRIVANE_DOC_DIR}" _doc)
ostrivane_install_path("${OSTRIVANE_MAN_DIR}/man1" _man1)

set(PROJECT_VERSION "${OSTRIVANE_VERSION}")
if(OSTRIVANE_HANDOUT_PDF)
  set(OSTRIVANE_SEE_ALSO_LESSONS
    "The lesson sheet for teachers,\n.IR ${_doc}/lessons.md ,\nwith its pictures, and the same sheet as a printable handout,\n.IR ${_doc}/${OSTRIVANE_HANDOUT_PDF} .")
else()
  set(OSTRIVANE_SEE_ALSO_LESSONS
    "The lesson sheet for teachers,\n.IR ${_doc}/lessons.md ,\nwith its pictures.")
endif()
configure_file("${OSTRIVANE_MANUAL_IN}" "${OSTRIVANE_MANUAL_WORK}/ostrivane.1" @ONLY)

set(_page "${OSTRIVANE_MANUAL_WORK}/ostrivane.1")
if(OSTRIVANE_GZIP)
  execute_process(
    COMMAND "${OSTRIVANE_GZIP}" -9 -n -f -k ostrivane.1
    WORKING_DIRECTORY "${OSTRIVANE_MANUAL_WORK}"
    RESULT_VARIABLE _status)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress the manual page: ${_status}")
  endif()
  set(_page "${_page}.gz")
endif()
file(INSTALL DESTINATION "${_man1}" TYPE FILE FILES "${_page}")

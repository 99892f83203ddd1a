# freeglut's own bitmap fonts, the ones desktop GLUT draws: src/fg_font_data.c
# of Debian's freeglut source package, which tools/test.sh and tools/web.sh
# fetch once into OSTRIVANE_FREEGLUT_SOURCE (fetch_freeglut of
# tools/common.sh; configuring never fetches), compiled with the stand-in for
# freeglut's internal header in web/freeglut/. Sets freeglut_font_source to
# the file to compile, or to "" with freeglut_font_missing saying why.
enable_language(C)
set(OSTRIVANE_FREEGLUT_SOURCE "${PROJECT_SOURCE_DIR}/build/freeglut" CACHE PATH
  "Where Debian's freeglut source package is unpacked (freeglut-*/)")
set(freeglut_font_source "")
file(GLOB font_data "${OSTRIVANE_FREEGLUT_SOURCE}/freeglut-*/src/fg_font_data.c")
if(NOT font_data)
  set(freeglut_font_missing "the glyphs come from Debian's freeglut source package, which is not in ${OSTRIVANE_FREEGLUT_SOURCE} (bash tools/web.sh fetches it)")
  if(EMSCRIPTEN)
    message(FATAL_ERROR "The web build: ${freeglut_font_missing}")
  endif()
  return()
endif()
list(GET font_data 0 font_data)
get_filename_component(freeglut_dir "${font_data}" DIRECTORY)
get_filename_component(freeglut_dir "${freeglut_dir}" DIRECTORY)
# A copy, so that the header it includes is the stand-in, not the one beside
# it in freeglut's src/. Its names are freeglut's own: hidden, they do not
# take the place of the library's in a program that links freeglut too.
set(freeglut_font_source "${CMAKE_BINARY_DIR}/freeglut_font/fg_font_data.c")
configure_file("${freeglut_dir}/src/fg_font_data.c" "${freeglut_font_source}" COPYONLY)
set_source_files_properties("${freeglut_font_source}" PROPERTIES
  INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/freeglut;${freeglut_dir}/include"
  COMPILE_OPTIONS "-fvisibility=hidden")

# freeglut's own bitmap fonts, the ones desktop GLUT draws: src/fg_font_data.c
# of Debian's freeglut source package, fetched once by fetch_freeglut of
# tools/common.sh and compiled with the stand-in for freeglut's internal
# header in web/freeglut/. Sets freeglut_font_source to the file to compile,
# or to "" with freeglut_font_missing saying why.
enable_language(C)
set(freeglut_font_source "")
execute_process(COMMAND bash -c "source \"$0\" && fetch_freeglut" "${PROJECT_SOURCE_DIR}/tools/common.sh"
  OUTPUT_VARIABLE freeglut_dir ERROR_VARIABLE fetch_log RESULT_VARIABLE fetch_failed
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(fetch_failed)
  set(freeglut_font_missing "the glyphs come from Debian's freeglut source package, which could not be fetched: ${fetch_log}")
  if(EMSCRIPTEN)
    message(FATAL_ERROR "The web build: ${freeglut_font_missing}")
  endif()
  return()
endif()
# A copy, so that the header it includes is the stand-in, not the one beside
# it in freeglut's src/. Its names are freeglut's own: hidden, they do not
# take the place of the library's in a program that links freeglut too.
set(freeglut_font_source "${CMAKE_BINARY_DIR}/freeglut_font/fg_font_data.c")
configure_file("${freeglut_dir}/src/fg_font_data.c" "${freeglut_font_source}" COPYONLY)
set_source_files_properties("${freeglut_font_source}" PROPERTIES
  INCLUDE_DIRECTORIES "${CMAKE_CURRENT_LIST_DIR}/freeglut;${freeglut_dir}/include"
  COMPILE_OPTIONS "-fvisibility=hidden")

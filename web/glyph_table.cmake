# GLUT's 10-pixel Helvetica glyph table, generated at build time from the X
# 75-dpi Adobe Helvetica 10 font of Debian's xfonts-75dpi, through pcf2bdf and
# web/make_glyph_table.py. Sets glyph_table_source to the generated file, or
# to "" with glyph_table_missing saying what to install.
set(OSTRIVANE_HELVETICA10_PCF "/usr/share/fonts/X11/75dpi/helvR10.pcf.gz"
  CACHE FILEPATH "The X 75-dpi Adobe Helvetica 10 font (Debian package xfonts-75dpi)")
find_program(OSTRIVANE_PCF2BDF pcf2bdf NO_CMAKE_FIND_ROOT_PATH)
find_program(OSTRIVANE_PYTHON3 python3 NO_CMAKE_FIND_ROOT_PATH)
set(glyph_table_source "")
if(NOT EXISTS "${OSTRIVANE_HELVETICA10_PCF}" OR NOT OSTRIVANE_PCF2BDF OR NOT OSTRIVANE_PYTHON3)
  set(glyph_table_missing "the glyph table needs ${OSTRIVANE_HELVETICA10_PCF}, pcf2bdf and python3; install them with: sudo apt-get install xfonts-75dpi pcf2bdf python3")
  if(CMAKE_CROSSCOMPILING)
    message(FATAL_ERROR "The web build: ${glyph_table_missing}")
  endif()
  return()
endif()
set(glyph_dir "${CMAKE_BINARY_DIR}/glyphs")
set(glyph_table_source "${glyph_dir}/glyph_table.cpp")
file(MAKE_DIRECTORY "${glyph_dir}")
add_custom_command(OUTPUT "${glyph_table_source}"
  COMMAND "${OSTRIVANE_PCF2BDF}" -o "${glyph_dir}/helvR10.bdf" "${OSTRIVANE_HELVETICA10_PCF}"
  COMMAND "${OSTRIVANE_PYTHON3}" "${PROJECT_SOURCE_DIR}/web/make_glyph_table.py" "${glyph_dir}/helvR10.bdf" "${glyph_table_source}"
  DEPENDS "${OSTRIVANE_HELVETICA10_PCF}" "${PROJECT_SOURCE_DIR}/web/make_glyph_table.py"
  COMMENT "Generating the Helvetica 10 glyph table")

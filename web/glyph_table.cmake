# Generates GLUT's 10-pixel Helvetica glyph table at build time from the X
# 75-dpi Adobe Helvetica 10 font of Debian's xfonts-75dpi, through pcf2bdf and
# web/make_glyph_table.py.
#
# ostrivane_glyph_table(<out-var> <reason-var>) sets <out-var> to the
# generated source file, or to "" with <reason-var> naming what is missing.

set(OSTRIVANE_HELVETICA10_PCF "/usr/share/fonts/X11/75dpi/helvR10.pcf.gz"
  CACHE FILEPATH "The X 75-dpi Adobe Helvetica 10 font (Debian package xfonts-75dpi)")

function(ostrivane_glyph_table out_var reason_var)
  set(${out_var} "" PARENT_SCOPE)
  find_program(OSTRIVANE_PCF2BDF pcf2bdf NO_CMAKE_FIND_ROOT_PATH)
  find_program(OSTRIVANE_PYTHON3 NAMES python3 NO_CMAKE_FIND_ROOT_PATH)
  if(NOT EXISTS "${OSTRIVANE_HELVETICA10_PCF}")
    set(${reason_var} "the font ${OSTRIVANE_HELVETICA10_PCF} was not found; install it with: sudo apt-get install xfonts-75dpi" PARENT_SCOPE)
    return()
  endif()
  if(NOT OSTRIVANE_PCF2BDF)
    set(${reason_var} "pcf2bdf was not found; install it with: sudo apt-get install pcf2bdf" PARENT_SCOPE)
    return()
  endif()
  if(NOT OSTRIVANE_PYTHON3)
    set(${reason_var} "python3 was not found; install it with: sudo apt-get install python3" PARENT_SCOPE)
    return()
  endif()
  set(dir "${CMAKE_BINARY_DIR}/glyphs")
  set(bdf "${dir}/helvR10.bdf")
  set(cpp "${dir}/glyph_table.cpp")
  get_property(defined GLOBAL PROPERTY OSTRIVANE_GLYPH_TABLE_RULE)
  if(NOT defined)
    set_property(GLOBAL PROPERTY OSTRIVANE_GLYPH_TABLE_RULE TRUE)
    file(MAKE_DIRECTORY "${dir}")
    add_custom_command(OUTPUT "${bdf}"
      COMMAND "${OSTRIVANE_PCF2BDF}" -o "${bdf}" "${OSTRIVANE_HELVETICA10_PCF}"
      DEPENDS "${OSTRIVANE_HELVETICA10_PCF}"
      COMMENT "Converting the Helvetica 10 bitmap font to BDF")
    add_custom_command(OUTPUT "${cpp}"
      COMMAND "${OSTRIVANE_PYTHON3}" "${PROJECT_SOURCE_DIR}/web/make_glyph_table.py" "${bdf}" "${cpp}"
      DEPENDS "${bdf}" "${PROJECT_SOURCE_DIR}/web/make_glyph_table.py"
      COMMENT "Generating the Helvetica 10 glyph table")
  endif()
  set(${out_var} "${cpp}" PARENT_SCOPE)
endfunction()

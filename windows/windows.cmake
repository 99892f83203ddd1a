# The Windows program, ostrivane.exe: a GUI-subsystem program (no console
# window), linked statically in the MinGW-w64 cross build (tools/windows.sh)
# so that it needs no DLL beyond Windows' own, with the project's icon and
# version information. Included where the top-level file makes the target.
enable_language(RC)
set_target_properties(ostrivane PROPERTIES WIN32_EXECUTABLE ON)
if(MSVC)
  # The program's entry point is main, not WinMain.
  target_link_options(ostrivane PRIVATE /ENTRY:mainCRTStartup)
elseif(MINGW AND TARGET FreeGLUT::freeglut_static)
  # The C and C++ runtimes linked in too, and without the runtimes' debugging
  # sections, which would double the file's size.
  target_link_options(ostrivane PRIVATE -static $<$<CONFIG:Release,MinSizeRel>:-s>)
endif()

# The icon, made from the project's SVG. freeglut gives its windows the icon
# resource named GLUT_ICON, so one icon serves Explorer and the title bar.
# (On Windows "convert" names a system tool, so ImageMagick 7's "magick".)
if(CMAKE_HOST_WIN32)
  find_program(OSTRIVANE_CONVERT NAMES magick)
else()
  find_program(OSTRIVANE_CONVERT NAMES convert magick)
endif()
set(icon "${CMAKE_BINARY_DIR}/ostrivane.ico")
set(OSTRIVANE_ICON_RESOURCE "GLUT_ICON ICON \"${icon}\"")
if(OSTRIVANE_CONVERT)
  add_custom_command(OUTPUT "${icon}"
    COMMAND "${OSTRIVANE_CONVERT}" -background none -density 384 "${PROJECT_SOURCE_DIR}/packaging/ostrivane.svg"
            -depth 8 -define icon:auto-resize=256,64,48,32,16 "${icon}"
    DEPENDS "${PROJECT_SOURCE_DIR}/packaging/ostrivane.svg"
    COMMENT "Making the Windows icon from packaging/ostrivane.svg" VERBATIM)
  set_source_files_properties("${CMAKE_BINARY_DIR}/ostrivane.rc" PROPERTIES OBJECT_DEPENDS "${icon}")
elseif(CMAKE_HOST_WIN32)
  message(WARNING "ImageMagick (magick) was not found: ostrivane.exe is built without its icon.")
  set(OSTRIVANE_ICON_RESOURCE "")
else()
  message(FATAL_ERROR "ImageMagick was not found; it makes the program's icon from packaging/ostrivane.svg. "
    "On Debian or Ubuntu install it with: sudo apt-get install imagemagick")
endif()
configure_file(windows/ostrivane.rc.in ostrivane.rc @ONLY)
target_sources(ostrivane PRIVATE "${CMAKE_BINARY_DIR}/ostrivane.rc")
# The read-me that goes into the zip, with Windows line endings for Notepad.
configure_file(windows/README-windows.txt.in README.txt @ONLY NEWLINE_STYLE CRLF)

# The suite checks the cross build's imports under the desktop build's ctest
# (label "windows"); this program must fail that check, as a console program
# that needs the MinGW runtime's DLLs would.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  add_executable(windows_import_probe windows/import_probe.cpp)
endif()

# The Windows build, cross-compiled with MinGW-w64 (see mingw-w64-x86_64.cmake
# and tools/windows.sh). Included from the top-level CMakeLists.txt before it
# looks for OpenGL and GLUT; what concerns the program itself is applied once
# the whole top-level file has been read.
#
#   OSTRIVANE_FREEGLUT_ROOT   where the static freeglut for MinGW is installed
#                             (tools/windows.sh builds it into build-windows/freeglut)
#
# The result is ostrivane.exe: a GUI-subsystem program (no console window),
# linked statically so that it needs no DLL beyond Windows' own, carrying the
# project's icon and version information.

if(CMAKE_VERSION VERSION_LESS 3.19)
  message(FATAL_ERROR "The Windows build needs CMake 3.19 or newer (cmake_language(DEFER)).")
endif()

enable_language(RC)

# The static freeglut that tools/windows.sh builds for MinGW-w64. Without it
# (a build on Windows itself, with vcpkg or MSYS2) the top-level file's
# find_package(GLUT) finds freeglut as usual and the program uses its DLL.
set(OSTRIVANE_FREEGLUT_ROOT "${CMAKE_BINARY_DIR}/freeglut" CACHE PATH
  "Install prefix of a static freeglut (tools/windows.sh builds it there)")
find_package(FreeGLUT CONFIG QUIET
  PATHS "${OSTRIVANE_FREEGLUT_ROOT}" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(TARGET FreeGLUT::freeglut_static)
  set(OSTRIVANE_STATIC_FREEGLUT ON)
  get_target_property(_ostrivane_freeglut_include FreeGLUT::freeglut_static INTERFACE_INCLUDE_DIRECTORIES)
  get_target_property(_ostrivane_freeglut_library FreeGLUT::freeglut_static IMPORTED_LOCATION_RELEASE)

  # freeglut installs only GL/freeglut.h for Windows; the program includes
  # GL/glut.h, which here is one line that brings in the full header.
  set(_ostrivane_glut_include "${CMAKE_BINARY_DIR}/windows-include")
  file(CONFIGURE OUTPUT "${_ostrivane_glut_include}/GL/glut.h" CONTENT "#include <GL/freeglut.h>\n")

  # GLUT::GLUT, made here so that the top-level file's find_package(GLUT)
  # finds it ready: the static library, its header, and the Windows libraries
  # it calls.
  add_library(GLUT::GLUT INTERFACE IMPORTED)
  target_include_directories(GLUT::GLUT INTERFACE "${_ostrivane_glut_include}" ${_ostrivane_freeglut_include})
  target_compile_definitions(GLUT::GLUT INTERFACE FREEGLUT_STATIC)
  target_link_libraries(GLUT::GLUT INTERFACE FreeGLUT::freeglut_static opengl32 gdi32 winmm)
  set(GLUT_INCLUDE_DIR "${_ostrivane_glut_include}" CACHE PATH "GL/glut.h for the Windows build" FORCE)
  set(GLUT_glut_LIBRARY_RELEASE "${_ostrivane_freeglut_library}" CACHE FILEPATH "Static freeglut for the Windows build" FORCE)
elseif(CMAKE_CROSSCOMPILING)
  message(FATAL_ERROR
    "No static freeglut for Windows under OSTRIVANE_FREEGLUT_ROOT (${OSTRIVANE_FREEGLUT_ROOT}). "
    "tools/windows.sh builds it from Debian's freeglut source package: run bash tools/windows.sh")
else()
  set(OSTRIVANE_STATIC_FREEGLUT OFF)
endif()

set(OSTRIVANE_WINDOWS_DIR "${CMAKE_CURRENT_LIST_DIR}")

# The cross build is checked on the Linux machine that made it, under Wine.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
  set(OSTRIVANE_WINDOWS_CHECKS ON)
  enable_testing()
else()
  set(OSTRIVANE_WINDOWS_CHECKS OFF)
endif()

function(_ostrivane_windows_program)
  set(dir "${OSTRIVANE_WINDOWS_DIR}")

  # Windows GUI subsystem: no console window opens beside the program's.
  set_target_properties(ostrivane PROPERTIES WIN32_EXECUTABLE ON)
  if(MSVC)
    # The program's entry point is main, not WinMain.
    target_link_options(ostrivane PRIVATE /ENTRY:mainCRTStartup)
  endif()
  if(MINGW AND OSTRIVANE_STATIC_FREEGLUT)
    # The C and C++ runtimes linked in too, so that only Windows' own DLLs
    # are needed.
    target_link_options(ostrivane PRIVATE -static)
    # The runtimes' debugging sections would double the file's size.
    target_link_options(ostrivane PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
  endif()

  # The icon, made from the project's SVG. freeglut gives its windows the icon
  # resource named GLUT_ICON, so one icon serves Explorer and the title bar.
  # (On Windows "convert" names a system tool, so ImageMagick 7's "magick".)
  if(CMAKE_HOST_WIN32)
    find_program(OSTRIVANE_CONVERT NAMES magick)
  else()
    find_program(OSTRIVANE_CONVERT NAMES convert magick)
  endif()
  mark_as_advanced(OSTRIVANE_CONVERT)
  set(icon "${CMAKE_BINARY_DIR}/ostrivane.ico")
  if(OSTRIVANE_CONVERT)
    add_custom_command(
      OUTPUT "${icon}"
      COMMAND "${OSTRIVANE_CONVERT}" -background none -density 384
              "${PROJECT_SOURCE_DIR}/packaging/ostrivane.svg" -depth 8
              -define icon:auto-resize=256,64,48,32,16 "${icon}"
      DEPENDS "${PROJECT_SOURCE_DIR}/packaging/ostrivane.svg"
      COMMENT "Making the Windows icon from packaging/ostrivane.svg"
      VERBATIM)
    set(OSTRIVANE_ICON_RESOURCE "GLUT_ICON ICON \"${icon}\"")
    set_source_files_properties("${CMAKE_BINARY_DIR}/ostrivane.rc" PROPERTIES OBJECT_DEPENDS "${icon}")
  elseif(CMAKE_HOST_WIN32)
    message(WARNING
      "ImageMagick (magick) was not found: ostrivane.exe is built without its icon.")
    set(OSTRIVANE_ICON_RESOURCE "")
  else()
    message(FATAL_ERROR
      "ImageMagick was not found; it makes the program's icon from packaging/ostrivane.svg. "
      "On Debian or Ubuntu install it with: sudo apt-get install imagemagick")
  endif()
  configure_file("${dir}/ostrivane.rc.in" "${CMAKE_BINARY_DIR}/ostrivane.rc" @ONLY)
  target_sources(ostrivane PRIVATE "${CMAKE_BINARY_DIR}/ostrivane.rc")

  # The read-me that goes into the zip, with Windows line endings for Notepad.
  configure_file("${dir}/README-windows.txt.in" "${CMAKE_BINARY_DIR}/README.txt" @ONLY NEWLINE_STYLE CRLF)

  # Checks of the cross-built program, run on the Linux machine that built it
  # (under Wine): ctest -L windows.
  if(NOT OSTRIVANE_WINDOWS_CHECKS)
    return()
  endif()
  add_test(NAME windows_imports
    COMMAND bash "${dir}/check-imports.sh" "$<TARGET_FILE:ostrivane>")
  set_tests_properties(windows_imports PROPERTIES LABELS windows)
  # The check must catch the faults it is there for: a console program that
  # needs the MinGW runtime's DLLs.
  add_executable(windows_import_probe "${dir}/import_probe.cpp")
  add_test(NAME windows_imports_catch_faults
    COMMAND bash "${dir}/check-imports.sh" "$<TARGET_FILE:windows_import_probe>")
  set_tests_properties(windows_imports_catch_faults PROPERTIES LABELS windows
    PASS_REGULAR_EXPRESSION "imports libstdc\\+\\+-6\\.dll.*not a GUI-subsystem program")
endfunction()

cmake_language(DEFER CALL _ostrivane_windows_program)

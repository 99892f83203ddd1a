# Cross-compiles for 64-bit Windows with Debian's MinGW-w64
# (g++-mingw-w64-x86-64, binutils-mingw-w64-x86-64):
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=windows/mingw-w64-x86_64.cmake
#
# The libraries built for Windows (freeglut) are found through
# CMAKE_PREFIX_PATH; tools/windows.sh builds freeglut and sets it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_ostrivane_mingw x86_64-w64-mingw32)

# Debian ships the compiler in two thread models; the win32 one needs no
# winpthread DLL and is the one "x86_64-w64-mingw32-g++" points at by default.
find_program(CMAKE_C_COMPILER NAMES ${_ostrivane_mingw}-gcc-win32 ${_ostrivane_mingw}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${_ostrivane_mingw}-g++-win32 ${_ostrivane_mingw}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${_ostrivane_mingw}-windres)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR
    "The MinGW-w64 cross compiler was not found. On Debian or Ubuntu install it with: "
    "sudo apt-get install g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${_ostrivane_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

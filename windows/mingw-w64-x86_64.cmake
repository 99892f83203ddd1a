# Cross-compiles for 64-bit Windows with Debian's MinGW-w64
# (g++-mingw-w64-x86-64, binutils-mingw-w64-x86-64); tools/windows.sh uses it
# for freeglut and for the program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw x86_64-w64-mingw32)
# Debian ships the compiler in two thread models; the win32 one needs no
# winpthread DLL and is the one "x86_64-w64-mingw32-g++" points at by default.
find_program(CMAKE_C_COMPILER NAMES ${mingw}-gcc-win32 ${mingw}-gcc)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw}-g++-win32 ${mingw}-g++)
find_program(CMAKE_RC_COMPILER NAMES ${mingw}-windres)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "The MinGW-w64 cross compiler was not found. On Debian or Ubuntu install it with: "
    "sudo apt-get install g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64")
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

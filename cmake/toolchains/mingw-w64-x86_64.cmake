# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64).
# Everything is linked statically so the programs run under Wine or on a bare Windows box
# without carrying the MinGW runtime DLLs along.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELBO_MINGW_TRIPLE x86_64-w64-mingw32)

# The posix thread model gives the full <thread>/<mutex> of the standard library; winpthreads is
# linked in statically like the rest.
find_program(CMAKE_C_COMPILER NAMES ${KELBO_MINGW_TRIPLE}-gcc-posix ${KELBO_MINGW_TRIPLE}-gcc
             REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${KELBO_MINGW_TRIPLE}-g++-posix ${KELBO_MINGW_TRIPLE}-g++
             REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${KELBO_MINGW_TRIPLE}-windres REQUIRED)
find_program(CMAKE_AR NAMES ${KELBO_MINGW_TRIPLE}-gcc-ar-posix ${KELBO_MINGW_TRIPLE}-ar)
find_program(CMAKE_RANLIB NAMES ${KELBO_MINGW_TRIPLE}-gcc-ranlib-posix ${KELBO_MINGW_TRIPLE}-ranlib)

set(CMAKE_FIND_ROOT_PATH /usr/${KELBO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in a prefix of their own beside the build.
find_program(KELBO_WINE NAMES wine wine64)
if(KELBO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_CURRENT_LIST_DIR}/../../tests/win/wine-run.sh;${CMAKE_BINARY_DIR}/wineprefix")
endif()

# No Qt for MinGW here: the cross build is the core, kelbo-compile and the tests.
set(KELBO_BUILD_GUI OFF CACHE BOOL "Build the Qt program")

# Cross build for 64-bit Windows with Debian's MinGW-w64 (posix thread model),
# tests run under Wine. Used with -DNORVANE_QT_FREE_ONLY=ON: only the
# Qt-free libraries and their tests are built for Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test executables (and test discovery) run through Wine.
find_program(NORVANE_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(NORVANE_WINE64 NAMES wine64 wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${NORVANE_WINE64})

# The runtime DLLs of the compiler are linked in, so the tests run without
# copying libstdc++ and libwinpthread next to them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

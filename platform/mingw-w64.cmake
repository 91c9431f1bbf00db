# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix-threads
# compiler: GoogleTest needs its threads; everything is linked statically, so
# no compiler runtime DLL ships). CUBEGAME_WINDOWS_DEPS is the prefix holding
# SDL 1.2, freeglut and GoogleTest built for Windows (scripts/windows.sh).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CUBEGAME_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CUBEGAME_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tools the build runs on its own output (the images) run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

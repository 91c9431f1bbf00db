# The Windows build's differences, cross-compiled with platform/mingw-w64.cmake
# (scripts/windows.sh): glibc's rand() in place of msvcrt's, which stops at
# 32767, so that the crowd and the tanks spread evenly over the whole map and
# a seed gives the same world as on Linux (mingw's stdlib.h declares rand
# without dllimport, so the linker takes this one before msvcrt's); static
# freeglut and compiler runtime, so SDL.dll is the only DLL shipped.
target_sources(cubegame_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/glibc_rand.cpp)
target_compile_options(cubegame_core PUBLIC -include ${CMAKE_CURRENT_LIST_DIR}/windows_gl.h)
target_compile_definitions(cubegame_core PUBLIC FREEGLUT_STATIC)
target_link_libraries(cubegame_core PUBLIC opengl32 glu32 winmm gdi32)
target_link_options(cubegame_core PUBLIC -static)
# SDLmain's WinMain, linked after the core, calls the game's SDL_main: the
# games must take it from the core first. Only the games: makeimages and
# the tests have a main of their own and no build constants for the shell.
set(CUBEGAME_GAME_LINK_OPTIONS -Wl,--undefined=SDL_main)

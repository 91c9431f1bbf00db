# The Windows build's differences, cross-compiled with platform/mingw-w64.cmake
# (scripts/windows.sh): glibc's rand() in place of msvcrt's, which stops at
# 32767, so that the crowd and the tanks spread evenly over the whole map and
# a seed gives the same world as on Linux (mingw's stdlib.h declares rand
# without dllimport, so the linker takes this one before msvcrt's); static
# freeglut and compiler runtime, so SDL.dll is the only DLL shipped.
enable_language(RC)
target_sources(cubegame_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/glibc_rand.cpp)
target_link_libraries(cubegame_core PUBLIC opengl32 glu32 winmm gdi32)

set(cubegame_windows_platform ${CMAKE_CURRENT_LIST_DIR})

# Windows' gl.h needs windows.h first and stops at OpenGL 1.1: every source
# that includes the game's headers takes the fix-up, and freeglut is static.
function(cubegame_windows_sources target)
    target_compile_options(${target} PRIVATE -include ${cubegame_windows_platform}/windows_gl.h)
    target_compile_definitions(${target} PRIVATE FREEGLUT_STATIC)
endfunction()

# Every program links its runtime statically, and carries no link time, so
# the same sources give the same exe.
function(cubegame_windows_program target)
    target_link_options(${target} PRIVATE -static -Wl,--no-insert-timestamp)
endfunction()

# Both, for every target of a folder; the fix-up is what every source of the
# Windows build needs, the games', the tools' and the tests' alike.
function(cubegame_windows_folder dir)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "^(STATIC_LIBRARY|OBJECT_LIBRARY|EXECUTABLE)$")
            cubegame_windows_sources(${target})
        endif()
        if(type STREQUAL EXECUTABLE)
            cubegame_windows_program(${target})
        endif()
    endforeach()
endfunction()

# The Windows icon, drawn once by makeimages (under Wine) for all the games.
set(cubegame_windows_ico ${PROJECT_BINARY_DIR}/windows/cubegame.ico)
add_custom_command(OUTPUT ${cubegame_windows_ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/windows
    COMMAND makeimages --ico ${cubegame_windows_ico}
    DEPENDS makeimages VERBATIM)

# A game's own entry (platform/windows_main.cpp, in place of SDLmain's, whose
# WinMain the linker then never takes) and its resources: icon, version
# information naming the build, manifest.
function(cubegame_windows_game name width height people tanks)
    set(CUBEGAME_BUILD ${name})
    set(CUBEGAME_BUILD_LINE "${name}: ${width} x ${height}, ${people} people, ${tanks} tanks")
    set(CUBEGAME_ICO ${cubegame_windows_ico})
    set(CUBEGAME_MANIFEST ${PROJECT_BINARY_DIR}/windows/${name}.manifest)
    configure_file(${cubegame_windows_platform}/windows.manifest.in ${CUBEGAME_MANIFEST} @ONLY)
    configure_file(${cubegame_windows_platform}/windows.rc.in ${PROJECT_BINARY_DIR}/windows/${name}.rc @ONLY)
    target_sources(${name} PRIVATE ${cubegame_windows_platform}/windows_main.cpp ${PROJECT_BINARY_DIR}/windows/${name}.rc)
    set_source_files_properties(${PROJECT_BINARY_DIR}/windows/${name}.rc PROPERTIES
        OBJECT_DEPENDS "${cubegame_windows_ico};${CUBEGAME_MANIFEST}")
endfunction()

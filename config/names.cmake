# cmake -P config/names.cmake: prints the four builds' names, one a line,
# for the scripts that need them without a configured build; with
# -DCUBEGAME_SCREENS=ON, each name followed by its screen's width and height.
include(${CMAKE_CURRENT_LIST_DIR}/presets.cmake)
foreach(entry IN LISTS CUBEGAME_PRESETS)
    cubegame_read_preset("${entry}")
    if(CUBEGAME_SCREENS)
        execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${name} ${width} ${height}")
    else()
        execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${name})
    endif()
endforeach()

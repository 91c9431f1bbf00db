# cmake -P config/names.cmake: prints the four builds' names, one a line,
# for the scripts that need them without a configured build.
include(${CMAKE_CURRENT_LIST_DIR}/presets.cmake)
foreach(entry IN LISTS CUBEGAME_PRESETS)
    cubegame_read_preset("${entry}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo ${name})
endforeach()

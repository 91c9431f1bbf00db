# The unit suites as both test builds make them, native (tests/) and
# Windows (tests/windows/): the support library, the suites' sources and
# one executable per suite, with what single suites add to theirs.
set(CUBEGAME_TESTS_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(cubegame_testsupport STATIC ${CUBEGAME_TESTS_DIR}/support/gl_context.cpp
    ${CUBEGAME_TESTS_DIR}/support/scratch_dir.cpp ${CUBEGAME_TESTS_DIR}/support/test_terrain.cpp)
target_include_directories(cubegame_testsupport PUBLIC ${CUBEGAME_TESTS_DIR}/support)
target_link_libraries(cubegame_testsupport PUBLIC cubegame_core cubegame_imagegen cubegame_world GTest::gtest)

file(GLOB CUBEGAME_TEST_SOURCES CONFIGURE_DEPENDS ${CUBEGAME_TESTS_DIR}/*_test.cpp)

# cubegame_add_suites(OUT SOURCE...): an executable named like each source,
# on the 320 build's constants; OUT gets their names.
function(cubegame_add_suites out)
    set(names "")
    foreach(source IN LISTS ARGN)
        get_filename_component(name ${source} NAME_WE)
        add_executable(${name} ${source})
        target_link_libraries(${name} PRIVATE cubegame_testsupport cubegame_320_constants GTest::gtest_main)
        list(APPEND names ${name})
    endforeach()
    # The loader's fuzz entry, built here with the test compiler, replays
    # the inputs that once broke it.
    if(TARGET tga_fuzz_replay_test)
        target_sources(tga_fuzz_replay_test PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/tga_fuzz.cpp)
        target_compile_definitions(tga_fuzz_replay_test PRIVATE
            TGA_REGRESSIONS_DIR="${PROJECT_SOURCE_DIR}/fuzz/regressions")
    endif()
    set(${out} ${names} PARENT_SCOPE)
endfunction()

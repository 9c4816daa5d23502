# GoogleTest for both platforms and one helper that adds a test program.
#
#   tunewell_add_test(<name> SOURCES <files...> [LIBS <targets...>])
#
# Natively every test case becomes its own CTest test. Under Wine each program
# is one CTest test, because starting Wine once per test case costs seconds.

if(NOT TUNEWELL_BUILD_TESTS)
    return()
endif()

if(CMAKE_CROSSCOMPILING)
    set(TUNEWELL_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest sources for the cross build")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(${TUNEWELL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
    find_package(GTest REQUIRED)
endif()
include(GoogleTest)

function(tunewell_add_test name)
    cmake_parse_arguments(TEST "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${TEST_SOURCES})
    target_link_libraries(${name} PRIVATE ${TEST_LIBS} GTest::gmock GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING)
        add_test(NAME ${name} COMMAND ${name})
    else()
        gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
    endif()
endfunction()

# Test exes: every folder tests/<name>/ with .cpp files becomes <name>_tests.exe, built from those
# files, tests/common/*.cpp, the program code and its resources. Each GoogleTest case is one ctest
# test named "<name>.<Suite>.<Case>", so "ctest -R <name>\\." runs one exe's tests.
# The cases are listed when ctest runs (PRE_TEST), never at build time: the build needs no Wine.
include(GoogleTest)

set(DALVORIN_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian: googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${DALVORIN_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()

file(GLOB DALVORIN_TEST_COMMON_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp)
file(GLOB DALVORIN_TEST_FOLDERS LIST_DIRECTORIES true CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*)

foreach(folder IN LISTS DALVORIN_TEST_FOLDERS)
    get_filename_component(name ${folder} NAME)
    if(NOT IS_DIRECTORY ${folder} OR name STREQUAL "common" OR name STREQUAL "tools")
        continue()
    endif()
    file(GLOB_RECURSE test_sources CONFIGURE_DEPENDS ${folder}/*.cpp)
    if(NOT test_sources)
        continue()
    endif()

    set(target ${name}_tests)
    add_executable(${target} ${test_sources} ${DALVORIN_TEST_COMMON_SOURCES})
    dalvorin_target_settings(${target})
    target_link_libraries(${target} PRIVATE dalvorin_core dalvorin_resources GTest::gmock GTest::gtest)
    # Wine under emulation can take several seconds to start a process the first time.
    gtest_discover_tests(${target}
        TEST_PREFIX "${name}."
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 300
        PROPERTIES TIMEOUT 60)
endforeach()

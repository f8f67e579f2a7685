# Test exes: every folder tests/<name>/ with .cpp files becomes <name>_tests.exe, built from those
# files, tests/common/*.cpp, the program code and its resources. Each GoogleTest case is one ctest
# test named "<name>.<Suite>.<Case>", so "ctest -R <name>\\." runs one exe's tests. They carry the
# label "wine" (they run under Wine), the static analysis "lint": "ctest -L wine" leaves it out.
# The cases are listed when ctest runs (PRE_TEST), never at build time: the build needs no Wine.
include(GoogleTest)

set(DALVORIN_GOOGLETEST_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian: googletest)")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${DALVORIN_GOOGLETEST_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

enable_testing()

# The tests run the program code built with the standard library's bounds assertions and with
# stack protection, so that an overrun fails the suite loudly; the shipped exe is built without.
add_library(dalvorin_core_checked OBJECT ${DALVORIN_SOURCES})
dalvorin_target_settings(dalvorin_core_checked)
target_compile_options(dalvorin_core_checked PUBLIC -fstack-protector-strong)
target_link_options(dalvorin_core_checked PUBLIC -fstack-protector-strong)
target_compile_definitions(dalvorin_core_checked PUBLIC _GLIBCXX_ASSERTIONS
    $<TARGET_PROPERTY:dalvorin_core,INTERFACE_COMPILE_DEFINITIONS>)
target_include_directories(dalvorin_core_checked PUBLIC
    $<TARGET_PROPERTY:dalvorin_core,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(dalvorin_core_checked PUBLIC ${DALVORIN_SYSTEM_LIBRARIES})

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
    target_link_libraries(${target} PRIVATE dalvorin_core_checked dalvorin_resources GTest::gmock GTest::gtest)
    # Wine under emulation can take several seconds to start a process the first time.
    gtest_discover_tests(${target}
        TEST_PREFIX "${name}."
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 300
        PROPERTIES TIMEOUT 60 LABELS wine)
endforeach()

# The crash dump cases start crash_probe.exe and read its dumps with dbghelp.
add_dependencies(framework_tests crash_probe)
target_link_libraries(framework_tests PRIVATE dbghelp)
# The version resource is read as the file's properties read it.
target_link_libraries(res_tests PRIVATE version)

# Static analysis of the program's sources (tools/lint: cppcheck and clang-tidy with the flags of
# this build, from compile_commands.json); a finding fails the suite like a failed test.
# It runs in parts, cppcheck and shares of the sources for clang-tidy, so that each part is short.
set(DALVORIN_LINT_SHARES 12)
# The house rules the tree shows (tools/lint --house): floors, owners, no circles of includes or calls.
add_test(NAME tools.lint.house COMMAND ${CMAKE_SOURCE_DIR}/tools/lint --house ${CMAKE_BINARY_DIR})
set_tests_properties(tools.lint.house PROPERTIES TIMEOUT 60 LABELS lint)
add_test(NAME tools.lint.cppcheck COMMAND ${CMAKE_SOURCE_DIR}/tools/lint --cppcheck ${CMAKE_BINARY_DIR})
set_tests_properties(tools.lint.cppcheck PROPERTIES TIMEOUT 60 LABELS lint)
foreach(share RANGE 1 ${DALVORIN_LINT_SHARES})
    add_test(NAME tools.lint.clang-tidy.${share}
        COMMAND ${CMAKE_SOURCE_DIR}/tools/lint --share ${share}/${DALVORIN_LINT_SHARES} ${CMAKE_BINARY_DIR})
    set_tests_properties(tools.lint.clang-tidy.${share} PROPERTIES TIMEOUT 60 LABELS lint)
endforeach()

# Real mouse input on the runtime's own notification area (tools/tray_click.sh): the icon's double
# click, its menu with the window shown and hidden, and closing from it while the password prompt
# is open; one test per case.
foreach(case shown hidden prompt)
    add_test(NAME tools.tray_click.${case}
        COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-cpu.sh ${CMAKE_SOURCE_DIR}/tools/tray_click.sh ${CMAKE_BINARY_DIR} ${case})
    set_tests_properties(tools.tray_click.${case} PROPERTIES TIMEOUT 60 LABELS wine)
endforeach()

# A crash dump read with Wine's own winedump rather than the dbghelp that wrote it
# (tools/crash_dump_check.sh); skipped where winedump is not installed.
add_test(NAME tools.crash_dump_check
    COMMAND ${CMAKE_SOURCE_DIR}/tools/crash_dump_check.sh ${CMAKE_BINARY_DIR})
set_tests_properties(tools.crash_dump_check PROPERTIES TIMEOUT 60 LABELS wine SKIP_RETURN_CODE 77)

# A seeded random user (bench/user_soak) plays the program with real input, a short fixed-seed run
# in the suite's own prefix and display; it fails on any crash and on any broken invariant. The
# long run is `bench/run user_soak`.
add_test(NAME bench.user_soak.short
    COMMAND ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh $<TARGET_FILE_NAME:user_soak_bench> 100 7
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
set_tests_properties(bench.user_soak.short PROPERTIES TIMEOUT 300 LABELS wine)

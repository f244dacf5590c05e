# Shared build settings: warnings as errors, and how tests are registered.

set(ROWFORK_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Werror)

function(rowfork_warnings target)
  # C and C++ only: the resource compiler takes none of these.
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${ROWFORK_WARNINGS}>")
endfunction()

# OpenMP, for the programs that race the module against an OpenMP loop. The
# cross build links GCC's libgomp statically (-fopenmp at the link, under the
# toolchain's -static) rather than through the import library CMake finds, so
# that those programs start under Wine with no runtime DLL beside them.
function(rowfork_link_openmp target scope)
  if(WIN32)
    target_compile_options(${target} ${scope} -fopenmp)
    target_link_options(${target} ${scope} -fopenmp)
  else()
    find_package(OpenMP REQUIRED)
    target_link_libraries(${target} ${scope} OpenMP::OpenMP_CXX)
  endif()
endfunction()

# GoogleTest: Debian's package on Linux; for the cross build, its sources.
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(ROWFORK_GTEST gtest gmock)
  set(ROWFORK_GTEST_MAIN gtest_main)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  set(ROWFORK_GTEST GTest::gtest GTest::gmock)
  set(ROWFORK_GTEST_MAIN GTest::gtest_main)
endif()

if(WIN32)
  # Debian's interpreter: the build's resource script and the checks of the
  # module file use the modules scripts/install-deps installs for it.
  find_program(ROWFORK_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
endif()

# Every test has a time limit, so a hung split fails instead of hanging CI.
set(ROWFORK_TEST_TIMEOUT 120)

# A test that runs under Wine, in the build's prefix. The tests there share
# its Windows directory, where the module reads its profile switch and where
# the tests write it, so they take turns. They fail where Wine cannot start,
# and count as skipped only where ROWFORK_WITHOUT_WINE asks for that. A test
# case of the module file that skipped, or a run that chose none, fails too:
# a case that did not run has not passed.
function(rowfork_wine_test name timeout)
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout} FIXTURES_REQUIRED WinePrefix RESOURCE_LOCK wineprefix
                                          SKIP_RETURN_CODE 77 FAIL_REGULAR_EXPRESSION "\\[  SKIPPED \\]|Running 0 tests")
endfunction()

# Registers a GoogleTest program. Natively each test case becomes a CTest test;
# under Wine (where each start costs a second) the program is one test.
# TIMEOUT raises the native limit of each test case.
function(rowfork_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "TIMEOUT" "")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${ROWFORK_TEST_TIMEOUT})
  endif()
  if(WIN32)
    add_test(NAME ${target} COMMAND ${target})
    rowfork_wine_test(${target} 600)
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 ${ARG_UNPARSED_ARGUMENTS} PROPERTIES TIMEOUT ${ARG_TIMEOUT})
  endif()
endfunction()

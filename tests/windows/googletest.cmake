# GoogleTest for the Windows test programs, built with mingw-w64 from the
# sources Debian's googletest package ships, under the names find_package
# gives on Linux (its own CMake files define GTest::gtest and GTest::gtest_main).
set(TESSALY_GOOGLETEST_SOURCES /usr/src/googletest/googletest CACHE PATH
    "GoogleTest's sources (Debian package googletest)")
if(NOT EXISTS ${TESSALY_GOOGLETEST_SOURCES}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${TESSALY_GOOGLETEST_SOURCES}: "
                      "install the googletest package")
endif()
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TESSALY_GOOGLETEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# Its sources are not held to this project's warning flags.
foreach(target IN ITEMS gtest gtest_main)
  set_target_properties(${target} PROPERTIES COMPILE_OPTIONS "")
  target_compile_options(${target} PRIVATE -w)
endforeach()

include(GoogleTest)
# The programs run under Wine, which the build does not prepare: tests are
# listed when ctest runs them, not after each link, and a program's first
# start in a busy prefix may take longer than the 5 s CMake allows it.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
function(gtest_discover_tests)
  _gtest_discover_tests(${ARGV} DISCOVERY_TIMEOUT 120)
endfunction()

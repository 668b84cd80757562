# A third of each test source's compile time goes to reading GoogleTest's and
# the standard library's headers. One test program precompiles them and every
# other GoogleTest program under the same folder reuses its precompiled header,
# so they are read once per build instead of once per source.
set(TESSALY_TEST_PRECOMPILED_HEADERS
  <gtest/gtest.h> <algorithm> <cmath> <cstdint> <functional> <random> <string> <vector>)

# The executables that link GoogleTest, defined in `dir` or below it.
function(tessaly_gtest_programs dir out)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  set(found)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    get_target_property(links ${target} LINK_LIBRARIES)
    if(type STREQUAL "EXECUTABLE" AND links MATCHES "GTest::|tessaly_test_support")
      list(APPEND found ${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir IN LISTS subdirs)
    tessaly_gtest_programs(${subdir} below)
    list(APPEND found ${below})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# Precompiles the headers in `owner` and has the other GoogleTest programs
# under the current folder reuse them. Call it once every program is defined
# (cmake_language(DEFER) does). The programs share the owner's compile flags;
# the compiler refuses a precompiled header built with other ones
# (-Winvalid-pch, an error here), so a mismatch stops the build.
function(tessaly_share_test_header owner)
  target_precompile_headers(${owner} PRIVATE ${TESSALY_TEST_PRECOMPILED_HEADERS})
  tessaly_gtest_programs(${CMAKE_CURRENT_SOURCE_DIR} programs)
  list(REMOVE_ITEM programs ${owner})
  foreach(program IN LISTS programs)
    target_precompile_headers(${program} REUSE_FROM ${owner})
  endforeach()
endfunction()

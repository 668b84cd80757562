# Prints the environment of one test preset of CMakePresets.json, one
# NAME=value per line, so that a script can run ctest on a build directory
# other than the preset's own (ctest --preset ignores --test-dir) with the
# same environment.
#   cmake -DPRESET=linux-asan -P cmake/test_preset_environment.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${CMAKE_CURRENT_LIST_DIR}/../CMakePresets.json" presets)
string(JSON count LENGTH "${presets}" testPresets)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  string(JSON name GET "${presets}" testPresets ${i} name)
  if(NOT name STREQUAL PRESET)
    continue()
  endif()
  string(JSON environment ERROR_VARIABLE missing GET "${presets}" testPresets ${i} environment)
  if(missing)
    return()
  endif()
  string(JSON variables LENGTH "${environment}")
  if(variables EQUAL 0)
    return()
  endif()
  math(EXPR last_variable "${variables} - 1")
  foreach(j RANGE ${last_variable})
    string(JSON variable MEMBER "${environment}" ${j})
    string(JSON value GET "${environment}" "${variable}")
    # message() goes to stderr; the caller reads stdout.
    execute_process(COMMAND "${CMAKE_COMMAND}" -E echo "${variable}=${value}")
  endforeach()
  return()
endforeach()
message(FATAL_ERROR "No test preset named '${PRESET}'")

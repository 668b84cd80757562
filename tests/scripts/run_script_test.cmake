# Runs tessaly-run once and checks what it did.
#
# Script tests: -DSCRIPT=file.tsr. The script is copied into a fresh folder
# WORK, beside a copy of the generated PNG fixtures in png/ and of the test
# effect files in effects/ (-DEFFECTS), and run there, so messages name it by
# its file name and its saves stay in the build tree. Its own comment lines
# say what the run must do:
#   # run-args: ARG ...        options given before the script
#   # run-stdin                the script is read from standard input ("-")
#   # expect-status: N         the exit status (default 0)
#   # expect-stdout: TEXT      standard output, one directive a line, in full
#   # expect-stderr: TEXT      a line standard error must hold, in this order;
#                              with none, standard error must be empty
#
# -DEMULATOR=PROGRAM runs RUNNER through it (the Windows build: Wine). The
# Windows build also gives -DTOLERANCE=N (expect statements accept each
# channel N off) and -DWINDOWS_SKIP=REASON (the test is skipped, saying why);
# see windows_comparison.cmake. Under Wine a run that ends through the
# plug-in's fatal path must show its box with no owner and style MB_ICONERROR.
#
# Command tests: -DARGS=a|b|c with EXPECT_STATUS, EXPECT_STDOUT_FILE (the
# whole of standard output, its lines in any order), EXPECT_STDOUT_CONTAINS
# and EXPECT_STDERR (text they must contain).
cmake_minimum_required(VERSION 3.25)

# The text's lines as a list, with the characters CMake lists treat specially
# hidden; restore_line undoes that for one line.
function(split_lines text out)
  string(REPLACE ";" "<SEMICOLON>" text "${text}")
  string(REPLACE "[" "<OPEN>" text "${text}")
  string(REPLACE "]" "<CLOSE>" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()
function(restore_line line out)
  string(REPLACE "<SEMICOLON>" ";" line "${line}")
  string(REPLACE "<OPEN>" "[" line "${line}")
  string(REPLACE "<CLOSE>" "]" line "${line}")
  set(${out} "${line}" PARENT_SCOPE)
endfunction()
function(sorted_lines text out)
  split_lines("${text}" lines)
  list(SORT lines)
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# Under Wine a program that has a Direct3D device can be killed by a signal
# while it exits when the machine is busy (Wine's own race, measured at about
# 1 run in 40 at two runs at a time): its status is lost, not its work. Such a
# run is made again, twice at most; a program that crashes every time still
# fails. Natively a signal is always a failure.
set(attempts 1)
if(DEFINED EMULATOR)
  set(attempts 3)
endif()
function(ended_by_signal status out)
  if(status MATCHES "^[0-9]+$" AND status LESS 128)
    set(${out} FALSE PARENT_SCOPE)
  elseif(DEFINED EMULATOR)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

set(run_args "")
set(expected_status 0)
set(expected_stdout "")
set(expected_stderr "")
set(use_stdin FALSE)

if(DEFINED WINDOWS_SKIP AND NOT WINDOWS_SKIP STREQUAL "")
  message("TESSALY-SKIPPED: not run under Wine: ${WINDOWS_SKIP}")
  return()
endif()
if(DEFINED TOLERANCE AND TOLERANCE GREATER 0)
  message(STATUS "expectations compared within ${TOLERANCE} per channel")
  list(APPEND run_args --tolerance ${TOLERANCE})
elseif(DEFINED TOLERANCE)
  message(STATUS "expectations compared exactly")
endif()

if(DEFINED SCRIPT)
  get_filename_component(name "${SCRIPT}" NAME)
  file(REMOVE_RECURSE "${WORK}")
  file(MAKE_DIRECTORY "${WORK}")
  file(COPY "${SCRIPT}" DESTINATION "${WORK}")
  if(DEFINED FIXTURES)
    file(COPY "${FIXTURES}/" DESTINATION "${WORK}/png")
  endif()
  if(DEFINED EFFECTS)
    file(COPY "${EFFECTS}/" DESTINATION "${WORK}/effects")
  endif()

  file(READ "${SCRIPT}" text)
  split_lines("${text}" lines)
  foreach(line IN LISTS lines)
    restore_line("${line}" line)
    if(line MATCHES "^# run-args: (.*)$")
      separate_arguments(more UNIX_COMMAND "${CMAKE_MATCH_1}")
      list(APPEND run_args ${more})
    elseif(line MATCHES "^# run-stdin$")
      set(use_stdin TRUE)
    elseif(line MATCHES "^# expect-status: ([0-9]+)$")
      set(expected_status "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^# expect-stdout: ?(.*)$")
      string(APPEND expected_stdout "${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^# expect-stderr: (.*)$")
      list(APPEND expected_stderr "${CMAKE_MATCH_1}")
    endif()
  endforeach()

  if(use_stdin)
    set(command ${EMULATOR} "${RUNNER}" ${run_args} -)
    set(where WORKING_DIRECTORY "${WORK}" INPUT_FILE "${WORK}/${name}")
  else()
    set(command ${EMULATOR} "${RUNNER}" ${run_args} "${name}")
    set(where WORKING_DIRECTORY "${WORK}")
  endif()
else()
  string(REPLACE "|" ";" run_args "${ARGS}")
  if(DEFINED EXPECT_STATUS)
    set(expected_status "${EXPECT_STATUS}")
  endif()
  if(DEFINED EXPECT_STDOUT_FILE)
    file(READ "${EXPECT_STDOUT_FILE}" expected_stdout)
  endif()
  if(DEFINED EXPECT_STDERR)
    set(expected_stderr "${EXPECT_STDERR}")
  endif()
  set(command ${EMULATOR} "${RUNNER}" ${run_args})
  set(where "")
endif()

foreach(attempt RANGE 1 ${attempts})
  execute_process(COMMAND ${command} ${where}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  ended_by_signal("${status}" killed)
  if(NOT killed)
    break()
  endif()
  message(STATUS "attempt ${attempt}: the run ended by a signal (${status}); running it again")
endforeach()

set(problems "")
if(NOT status STREQUAL expected_status)
  string(APPEND problems "exit status ${status}, expected ${expected_status}\n")
endif()
if(DEFINED SCRIPT AND NOT out STREQUAL expected_stdout)
  string(APPEND problems "standard output differs; expected:\n${expected_stdout}")
endif()
if(DEFINED EXPECT_STDOUT_FILE)
  sorted_lines("${out}" got)
  sorted_lines("${expected_stdout}" wanted)
  if(NOT got STREQUAL wanted)
    string(APPEND problems "standard output differs; expected the lines of ${EXPECT_STDOUT_FILE}\n")
  endif()
endif()
if(DEFINED EXPECT_STDOUT_CONTAINS)
  string(FIND "${out}" "${EXPECT_STDOUT_CONTAINS}" at)
  if(at EQUAL -1)
    string(APPEND problems "standard output lacks: ${EXPECT_STDOUT_CONTAINS}\n")
  endif()
endif()
if(expected_stderr STREQUAL "" AND DEFINED SCRIPT AND NOT err STREQUAL "")
  string(APPEND problems "standard error should be empty\n")
endif()
# The fatal path under Wine: the box the hook caught has no owner and shows
# the error icon with a single OK button (MB_ICONERROR).
if(DEFINED EMULATOR AND expected_status EQUAL 1 AND expected_stderr MATCHES "host: Quit"
   AND expected_stderr MATCHES "MessageBox \\[")
  list(APPEND expected_stderr "MessageBox owner: none, style: 0x00000010")
endif()
set(rest "${err}")
foreach(wanted IN LISTS expected_stderr)
  string(FIND "${rest}" "${wanted}" at)
  if(at EQUAL -1)
    string(APPEND problems "standard error lacks (in order): ${wanted}\n")
  else()
    string(LENGTH "${wanted}" length)
    math(EXPR after "${at} + ${length}")
    string(SUBSTRING "${rest}" ${after} -1 rest)
  endif()
endforeach()

if(NOT problems STREQUAL "")
  message(FATAL_ERROR "${problems}--- exit status: ${status}\n--- standard output:\n${out}--- standard error:\n${err}")
endif()

# How the Windows build (tessaly-run.exe, Tessaly.dll, Wine's Direct3D 9)
# compares a script's results with the expectations the script states, which
# are those of the Linux build (software device), byte for byte:
#   exact          the default: in-memory commands, clears, point-sampled
#                  replace quads and add, subtract, min and max blends
#   within N       "# windows-tolerance: N" in the script: each channel may be
#                  N off (Wine's device rounds other blends its own way)
#   skipped        "# windows-skip: REASON" in the script, or a script that
#                  loads an effect source file (*.fx) that exists: Wine's
#                  D3DX9 cannot compile effect source, only compiled effects
#
#   windows_comparison(SCRIPT SKIP_REASON_VAR TOLERANCE_VAR)
function(windows_comparison script skip_var tolerance_var)
  file(STRINGS "${script}" lines)
  set(skip "")
  set(tolerance 0)
  get_filename_component(folder "${script}" DIRECTORY)
  foreach(line IN LISTS lines)
    string(TOLOWER "${line}" lower)
    if(line MATCHES "^# windows-skip: (.+)$")
      set(skip "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^# windows-tolerance: ([0-9]+)$")
      set(tolerance "${CMAKE_MATCH_1}")
    elseif(skip STREQUAL "" AND lower MATCHES "^[ \t]*(print[ \t]+)?ts[ \t]+load[ \t]+effect[^\"]*\"([^\"]*\\.fx)\"")
      # Only a file that exists is compiled; a missing one runs the same everywhere.
      string(REGEX MATCH "\"([^\"]*)\"" quoted "${line}")
      if(EXISTS "${folder}/${CMAKE_MATCH_1}")
        set(skip "it loads an effect source file (${CMAKE_MATCH_1}), which Wine's D3DX9 cannot compile")
      endif()
    endif()
  endforeach()
  set(${skip_var} "${skip}" PARENT_SCOPE)
  set(${tolerance_var} "${tolerance}" PARENT_SCOPE)
endfunction()

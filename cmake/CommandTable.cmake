# Reads src/resources/commands.tsv and writes, into OUT_DIR:
#   tessaly.def            Windows export list under the decorated names
#   commands.rc            Windows string table (language 1033) and manifest
#   command_table.cpp      the same strings compiled into the Linux module
#   tessaly.map            Linux version script: the exported symbols, nothing else
#   expected_exports.txt   decorated names the DLL must export, one a line
#   expected_strings.txt   "id<TAB>string" for every row, for the resource check
#   command_signatures.cpp compile-time checks that every export's C++ type is
#                          the one its decorated name promises the host
#   command_list.inc       TESSALY_COMMAND(id, export, "row string") for every
#                          row, for code that walks every command (the fuzzers)

set(TESSALY_LIFECYCLE_EXPORTS
    "?Constructor@@YAXXZ" "?ReceiveCoreDataPtr@@YAXPAX@Z" "?Destructor@@YAXXZ")

# "?Name@@..." -> "Name": the plain symbol behind a decorated name.
function(tessaly_plain_name decorated out)
  string(REGEX REPLACE "^\\?([A-Za-z0-9_]+)@@.*$" "\\1" plain "${decorated}")
  set(${out} "${plain}" PARENT_SCOPE)
endfunction()

# "?Name@@YA<result><arguments>Z" -> "void(int, char, DWORD)": the C++
# function type a decorated name stands for, in the codes the table uses.
function(tessaly_signature_type decorated out)
  if(NOT decorated MATCHES "^\\?[A-Za-z0-9_]+@@YA(.)(.*)Z$")
    message(FATAL_ERROR "commands.tsv: not a plain cdecl function: ${decorated}")
  endif()
  set(result_code "${CMAKE_MATCH_1}")
  set(rest "${CMAKE_MATCH_2}")
  set(types X void K DWORD H int M float D char)
  list(FIND types "${result_code}" at)
  if(NOT result_code MATCHES "^[XK]$")
    message(FATAL_ERROR "commands.tsv: unknown result type in ${decorated}")
  endif()
  math(EXPR at "${at} + 1")
  list(GET types ${at} result)
  set(arguments "")
  if(NOT rest STREQUAL "X")
    if(NOT rest MATCHES "@$")
      message(FATAL_ERROR "commands.tsv: argument list not ended by @ in ${decorated}")
    endif()
    string(REGEX REPLACE "@$" "" rest "${rest}")
    while(NOT rest STREQUAL "")
      if(rest MATCHES "^PAD(.*)$")
        list(APPEND arguments "char*")
        set(rest "${CMAKE_MATCH_1}")
      elseif(rest MATCHES "^PAX(.*)$")
        list(APPEND arguments "void*")
        set(rest "${CMAKE_MATCH_1}")
      elseif(rest MATCHES "^([KHMD])(.*)$")
        list(FIND types "${CMAKE_MATCH_1}" at)
        math(EXPR at "${at} + 1")
        list(GET types ${at} type)
        list(APPEND arguments "${type}")
        set(rest "${CMAKE_MATCH_2}")
      else()
        message(FATAL_ERROR "commands.tsv: unknown argument type in ${decorated}")
      endif()
    endwhile()
  endif()
  list(JOIN arguments ", " argument_text)
  set(${out} "${result}(${argument_text})" PARENT_SCOPE)
endfunction()

# Writes a generated file only when its content changes, so a re-configure
# does not rebuild and relink everything that depends on it.
function(tessaly_write_if_changed path content)
  file(WRITE "${path}.new" "${content}")
  file(COPY_FILE "${path}.new" "${path}" ONLY_IF_DIFFERENT)
  file(REMOVE "${path}.new")
endfunction()

function(tessaly_generate_command_table tsv out_dir)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${tsv}")
  # "[" would open a CMake bracket inside the list of lines (and swallow the
  # rows after it): hide it before splitting, as <LB>.
  file(READ "${tsv}" content)
  string(REPLACE "[" "<LB>" content "${content}")
  string(REPLACE "\r" "" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")

  set(signatures "// Generated from src/resources/commands.tsv: do not edit.\n// Each export must have the C++ type its decorated name promises the host.\n#include \"resources/commands.h\"\n\n#include <type_traits>\n\n")
  set(def "LIBRARY Tessaly.dll\nEXPORTS\n")
  set(cpp "// Generated from src/resources/commands.tsv: do not edit.\n#include \"win32/module_registry.h\"\n\nextern \"C\" __attribute__((visibility(\"default\"))) const StandInStringResource StandInStringTable[] = {\n")
  set(map "{\n  global:\n    StandInStringTable;\n")
  set(exports "")
  set(strings "")
  set(command_list "// Generated from src/resources/commands.tsv: do not edit.\n// TESSALY_COMMAND(id, export, \"row string\"), one a row; define it before including.\n")
  # Language 1033 = LANG_ENGLISH (9), SUBLANG_ENGLISH_US (1); it also covers
  # the manifest that follows the table.
  set(rc "// Generated from src/resources/commands.tsv: do not edit.\nLANGUAGE 9, 1\nSTRINGTABLE\nBEGIN\n")

  foreach(name IN LISTS TESSALY_LIFECYCLE_EXPORTS)
    tessaly_plain_name("${name}" plain)
    tessaly_signature_type("${name}" signature)
    string(APPEND signatures "static_assert(std::is_same_v<decltype(${plain}), ${signature}>, \"${plain} is not ${signature}\");\n")
    string(APPEND def "  \"${name}\" = ${plain}\n")
    string(APPEND map "    ${plain};\n")
    string(APPEND exports "${name}\n")
  endforeach()

  set(seen_ids "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^#" OR line STREQUAL "")
      continue()
    endif()
    string(REPLACE "\t" ";" fields "${line}")
    list(LENGTH fields count)
    if(NOT count EQUAL 5)
      message(FATAL_ERROR "commands.tsv: expected 5 tab-separated fields: ${line}")
    endif()
    list(GET fields 0 id)
    list(GET fields 1 name)
    list(GET fields 2 types)
    list(GET fields 3 decorated)
    list(GET fields 4 help)
    string(REPLACE "<LB>" "[" name "${name}")
    if(id IN_LIST seen_ids)
      message(FATAL_ERROR "commands.tsv: id ${id} appears twice")
    endif()
    list(APPEND seen_ids ${id})
    if(NOT id MATCHES "^[1-9][0-9]*$" OR id GREATER 65535)
      message(FATAL_ERROR "commands.tsv: id must be a number from 1 to 65535: ${id}")
    endif()
    if(NOT decorated MATCHES "^\\?[A-Za-z0-9_]+@@[A-Za-z0-9_@?$]+$")
      message(FATAL_ERROR "commands.tsv: not a decorated name: ${decorated}")
    endif()
    tessaly_plain_name("${decorated}" plain)
    tessaly_signature_type("${decorated}" signature)
    string(APPEND signatures "static_assert(std::is_same_v<decltype(${plain}), ${signature}>, \"${plain} is not ${signature}\");\n")
    set(text "${name}%${types}%${decorated}%${help}")
    # The strings travel byte for byte: printable ASCII only, so neither the
    # resource compiler's code page nor the C++ source encoding can alter them.
    if(NOT text MATCHES "^[ -~]+$")
      message(FATAL_ERROR "commands.tsv: row ${id} holds a character outside printable ASCII")
    endif()
    string(REPLACE "\\" "\\\\" escaped "${text}")
    string(REPLACE "\"" "\\\"" cpp_text "${escaped}")
    string(REPLACE "\"" "\"\"" rc_text "${escaped}")
    string(APPEND def "  \"${decorated}\" = ${plain}\n")
    string(APPEND rc "  ${id}, \"${rc_text}\"\n")
    string(APPEND cpp "    {${id}, \"${cpp_text}\"},\n")
    string(APPEND map "    ${plain};\n")
    string(APPEND exports "${decorated}\n")
    string(APPEND strings "${id}\t${text}\n")
    string(APPEND command_list "TESSALY_COMMAND(${id}, ${plain}, \"${cpp_text}\")\n")
  endforeach()

  string(APPEND rc "END\n\n2 24 \"${out_dir}/tessaly.manifest\"\n")
  string(APPEND cpp "    {0, nullptr},\n};\n")
  string(APPEND map "  local:\n    *;\n};\n")

  tessaly_write_if_changed("${out_dir}/tessaly.def" "${def}")
  tessaly_write_if_changed("${out_dir}/commands.rc" "${rc}")
  tessaly_write_if_changed("${out_dir}/command_table.cpp" "${cpp}")
  tessaly_write_if_changed("${out_dir}/tessaly.map" "${map}")
  tessaly_write_if_changed("${out_dir}/expected_exports.txt" "${exports}")
  tessaly_write_if_changed("${out_dir}/expected_strings.txt" "${strings}")
  tessaly_write_if_changed("${out_dir}/command_signatures.cpp" "${signatures}")
  tessaly_write_if_changed("${out_dir}/command_list.inc" "${command_list}")
  configure_file("${CMAKE_SOURCE_DIR}/src/resources/tessaly.manifest" "${out_dir}/tessaly.manifest" COPYONLY)
endfunction()

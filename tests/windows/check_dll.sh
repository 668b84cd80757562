#!/bin/sh
# Checks the built Tessaly.dll the way the host will meet it: its format, its
# exports, its imports, its string table and its manifest.
#
# usage: check_dll.sh CHECK DLL GENERATED_DIR OBJDUMP PE_RESOURCES
#   CHECK is one of: format exports imports strings manifest
#   GENERATED_DIR holds expected_exports.txt and expected_strings.txt,
#   written by the build from the command table.
set -u
LC_ALL=C
export LC_ALL

if [ $# -ne 5 ]; then
  echo "usage: $0 CHECK DLL GENERATED_DIR OBJDUMP PE_RESOURCES" >&2
  exit 2
fi
check=$1 dll=$2 generated=$3 objdump=$4 pe_resources=$5

# System DLLs the plug-in may import: what every Windows with Direct3D 9 has.
# Compiler runtimes (libgcc_s_*, libstdc++-*, libwinpthread-*) must never appear.
allowed_imports="kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll
oleaut32.dll msvcrt.dll d3d9.dll d3dx9_43.dll"

work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL $check: $*"
  exit 1
}

# Runs diff -u over two sorted lists and fails with it when they differ.
# Numeric leading fields (language, id) sort as numbers, names as bytes.
tab=$(printf '\t')
compare() { # expected actual what
  sort -t "$tab" -k1,1n -k2,2n "$1" >"$work/expected.sorted"
  sort -t "$tab" -k1,1n -k2,2n "$2" >"$work/actual.sorted"
  if ! diff -u --label "expected $3" --label "$3 in $dll" \
      "$work/expected.sorted" "$work/actual.sorted" >"$work/diff"; then
    echo "FAIL $check: $3 differ ('-' expected but missing, '+' present but not expected):"
    cat "$work/diff"
    exit 1
  fi
}

[ -f "$dll" ] || fail "no such file: $dll"
"$objdump" -p "$dll" >"$work/headers" 2>"$work/objdump.err" ||
  fail "$objdump could not read the file: $(cat "$work/objdump.err")"

case $check in
format)
  grep -q 'file format pei-i386$' "$work/headers" ||
    fail "not a 32-bit x86 PE file: $(grep 'file format' "$work/headers")"
  grep -q '^	DLL$' "$work/headers" || fail "the file is not marked as a DLL"
  echo "format: PE32 i386 DLL"
  ;;

exports)
  # The name table lists "[ ordinal] name" lines under its heading.
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[ *[0-9]*\] //p' \
    "$work/headers" >"$work/exports"
  # "Export Address Table" appears twice: first with the count, then the address.
  address_count=$(sed -n 's/^[[:space:]]*Export Address Table[[:space:]]*\([0-9a-fA-F]*\)$/\1/p' \
    "$work/headers" | head -n 1)
  [ -n "$address_count" ] || fail "no export table found"
  names=$(wc -l <"$work/exports")
  # Every address-table slot must carry a name: an export by ordinal alone
  # would be something the host's table does not know.
  [ "$((0x$address_count))" -eq "$names" ] ||
    fail "$((0x$address_count)) exported addresses but $names exported names"
  duplicates=$(sort "$work/exports" | uniq -d)
  [ -z "$duplicates" ] || fail "exported twice: $duplicates"
  compare "$generated/expected_exports.txt" "$work/exports" "exports"
  echo "exports: $names decorated names, exactly the expected ones"
  ;;

imports)
  sed -n 's/^[[:space:]]*DLL Name: //p' "$work/headers" >"$work/imports"
  [ -s "$work/imports" ] || fail "no import table found"
  status=0
  while IFS= read -r name; do
    lower=$(printf '%s' "$name" | tr 'A-Z' 'a-z')
    case " $(echo $allowed_imports) " in
    *" $lower "*) ;;
    *)
      echo "FAIL imports: $name is not a system DLL (allowed: $(echo $allowed_imports))"
      status=1
      ;;
    esac
  done <"$work/imports"
  [ $status -eq 0 ] || exit 1
  echo "imports: $(tr '\n' ' ' <"$work/imports")(all system DLLs)"
  ;;

strings)
  # Every string in language 1033, byte for byte; the reader escapes
  # backslashes, so the expected text is escaped the same way.
  sed 's/\\/\\\\/g; s/^/1033	/' "$generated/expected_strings.txt" >"$work/expected"
  "$pe_resources" strings "$dll" >"$work/strings" || fail "the resource reader failed"
  compare "$work/expected" "$work/strings" "string table rows (language, id, text)"
  echo "strings: $(wc -l <"$work/strings") rows in language 1033, byte for byte"
  ;;

manifest)
  "$pe_resources" list "$dll" >"$work/list" || fail "the resource reader failed"
  awk -F '\t' '$1 == "24" { print $1 "\t" $2 "\t" $3 }' "$work/list" >"$work/manifests"
  printf '24\t2\t1033\n' >"$work/expected"
  compare "$work/expected" "$work/manifests" "manifest resources (type, id, language)"
  "$pe_resources" data "$dll" 24 2 1033 >"$work/manifest" || fail "the resource reader failed"
  # One line, so an element split over lines is still one match.
  tr '\r\n\t' '   ' <"$work/manifest" >"$work/manifest.line"
  grep -o '<[A-Za-z0-9_:]*requestedExecutionLevel[^>]*>' "$work/manifest.line" >"$work/level"
  [ "$(wc -l <"$work/level")" -eq 1 ] ||
    fail "expected one requestedExecutionLevel element, found $(wc -l <"$work/level"):
$(cat "$work/manifest")"
  grep -Eq "[[:space:]]level[[:space:]]*=[[:space:]]*(\"asInvoker\"|'asInvoker')" "$work/level" ||
    fail "the execution level is not asInvoker: $(cat "$work/level")"
  grep -Eq "[[:space:]]uiAccess[[:space:]]*=[[:space:]]*(\"false\"|'false')" "$work/level" ||
    fail "uiAccess is not false: $(cat "$work/level")"
  echo "manifest: type 24, id 2, language 1033: asInvoker, uiAccess false"
  ;;

*)
  echo "unknown check: $check" >&2
  exit 2
  ;;
esac

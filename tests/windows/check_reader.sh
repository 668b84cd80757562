#!/bin/sh
# Tests the PE resource reader on a DLL whose resources are known
# (fixture/resource_fixture.rc), then feeds it truncated and corrupted copies:
# it must answer in full or refuse with status 2, never crash or read out of
# bounds (READER is built with AddressSanitizer for this).
#
# usage: check_reader.sh READER FIXTURE_DLL FIXTURE_SOURCE_DIR OBJDUMP
set -u
LC_ALL=C
export LC_ALL

if [ $# -ne 4 ]; then
  echo "usage: $0 READER FIXTURE_DLL FIXTURE_SOURCE_DIR OBJDUMP" >&2
  exit 2
fi
reader=$1 dll=$2 fixture=$3 objdump=$4

work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# 1. The known contents, read back exactly.
for mode in list strings; do
  if ! "$reader" "$mode" "$dll" >"$work/$mode" 2>"$work/$mode.err"; then
    fail "$mode: the reader failed: $(cat "$work/$mode.err")"
  elif ! diff -u --label "expected $mode" --label "$mode of $dll" \
      "$fixture/resource_fixture.$mode" "$work/$mode"; then
    fail "$mode: the reader's answer differs (above)"
  fi
done
"$reader" data "$dll" 24 2 1033 >"$work/manifest" &&
  cmp -s "$work/manifest" "$fixture/resource_fixture.manifest" ||
  fail "data 24 2 1033 does not give back the manifest byte for byte"
"$reader" data "$dll" 24 2 1031 >/dev/null 2>&1
[ $? -eq 3 ] || fail "data of an absent resource must end with status 3"

# 2. Damaged files: a refusal is status 2 with a message and no output. A cut
# file may still be read in full (the cut lies past the resources), but then
# the answer must be the whole one; a corrupted one may read as other strings.
expect_clean() { # file what whole|any
  "$reader" strings "$1" >"$work/out" 2>"$work/err"
  status=$?
  if [ $status -eq 2 ] && [ -s "$work/err" ] && [ ! -s "$work/out" ]; then
    return
  fi
  if [ $status -eq 0 ] && { [ "$3" = any ] ||
      cmp -s "$work/out" "$fixture/resource_fixture.strings"; }; then
    return
  fi
  fail "$2: status $status, $(head -c 300 "$work/err")"
}

rsrc=$("$objdump" -h "$dll" | awk '$2 == ".rsrc" { print $3, $6 }')
[ -n "$rsrc" ] || { echo "FAIL: no .rsrc section in $dll"; exit 1; }
rsrc_size=$((0x${rsrc% *}))
rsrc=$((0x${rsrc#* }))
size=$(wc -c <"$dll")

# Cuts through the headers, all through the resource section, and coarsely
# through the rest.
cuts=0
cut_every() { # from to step
  length=$1
  while [ "$length" -lt "$2" ] && [ "$length" -lt "$size" ]; do
    head -c "$length" "$dll" >"$work/cut.dll"
    expect_clean "$work/cut.dll" "cut to $length bytes" whole
    cuts=$((cuts + 1))
    length=$((length + $3))
  done
}
cut_every 0 1024 16
cut_every "$rsrc" $((rsrc + rsrc_size + 8)) 8
cut_every 1024 "$size" 2039

# Overwrite each word of the resource directory's first 256 bytes with values
# that point past the end, at the root (a cycle) or at nonsense.
corruptions=0
for pattern in '\377\377\377\377' '\000\000\000\200' '\020\000\000\200' '\377\177\000\000'; do
  offset=0
  while [ $offset -lt 256 ]; do
    cp "$dll" "$work/bad.dll"
    printf "$pattern" | dd of="$work/bad.dll" bs=1 seek=$((rsrc + offset)) conv=notrunc \
      2>/dev/null
    expect_clean "$work/bad.dll" "word at .rsrc+$offset set to $pattern" any
    corruptions=$((corruptions + 1))
    offset=$((offset + 4))
  done
done

if [ $failures -ne 0 ]; then
  echo "FAIL reader: $failures failures ($cuts truncated and $corruptions corrupted copies tried)"
  exit 1
fi
echo "reader: fixture read exactly; $cuts truncated and $corruptions corrupted copies refused" \
  "or read in full"

#!/usr/bin/env bash
# Runs every test of Tessaly: the Linux build optimised and under the
# sanitizers (ctest), and the Windows build (ctest): the DLL's checks and the
# same tests built in 32 bits, run under Wine in a private prefix and virtual
# display made for this run. On a fresh Debian machine it first installs what
# is missing.
#
# Build directories are the presets' own (build/<preset>); set
# TESSALY_BUILD_ROOT to put them elsewhere. With TESSALY_FUZZ_SECONDS set (CI
# sets 300), the fuzz targets then run for that many seconds in all, each
# counted as one test (fuzz/run_fuzzers.sh). Ends with "N passed, N failed"
# and a non-zero status when anything failed.
set -u -o pipefail
cd "$(dirname "$0")"

readonly JOBS=2
readonly PRESETS=(linux linux-asan windows-i686)
readonly FUZZ_SECONDS=${TESSALY_FUZZ_SECONDS:-0}
PACKAGES=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libpng-dev libffi-dev g++-mingw-w64-i686 binutils-mingw-w64-i686
          chromium googletest libstb-dev)
[ "$FUZZ_SECONDS" -gt 0 ] && PACKAGES+=(clang libclang-rt-dev)
readonly PACKAGES

source cmake/install_missing_packages.sh
source cmake/wine_environment.sh

total_passed=0
total_failed=0
total_skipped=0
summaries=()

# Counts one step that did not get as far as its tests as one failure.
record_step_failure() { # preset what
  total_failed=$((total_failed + 1))
  summaries+=("$1: $2 failed")
  echo "run-tests: $1: $2 FAILED"
}

run_preset() { # preset
  local preset=$1
  local dir=${TESSALY_BUILD_ROOT:+$TESSALY_BUILD_ROOT/$preset}
  dir=${dir:-build/$preset}
  echo
  echo "==== $preset ===="
  local started=$SECONDS
  if [ "$preset" = windows-i686 ] && [ -z "$wine_folder" ] && ! start_wine run-tests; then
    record_step_failure "$preset" "Wine set-up"
    return
  fi
  if ! cmake --preset "$preset" -B "$dir"; then
    record_step_failure "$preset" "configure"
    return
  fi
  if ! cmake --build "$dir" -j "$JOBS"; then
    record_step_failure "$preset" "build"
    return
  fi

  # ctest by directory: `ctest --preset` would test the preset's own
  # build/<preset> whatever --test-dir says. The preset's environment is
  # applied here instead.
  local listing environment=()
  if ! listing=$(cmake -DPRESET="$preset" -P cmake/test_preset_environment.cmake); then
    record_step_failure "$preset" "reading the test preset"
    return
  fi
  [ -n "$listing" ] && mapfile -t environment <<<"$listing"
  local log="$dir/run-tests-ctest.log"
  env "${environment[@]}" ctest --test-dir "$dir" --output-on-failure -j "$JOBS" --timeout 600 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  local counts failed total
  counts=$(grep -Eo '[0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$counts" ]; then
    # No summary: no tests were found, or ctest itself broke.
    record_step_failure "$preset" "ctest (no test summary, status $status)"
    return
  fi
  failed=${counts%% *}
  total=${counts##* }
  if [ "$total" -eq 0 ]; then
    record_step_failure "$preset" "ctest (no tests)"
    return
  fi
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1  # ctest failed outside any test (a timeout of the run, a crash)
  fi
  # Skipped tests (each says why in its output) are neither passed nor failed.
  local skipped
  skipped=$(grep -cE '^[[:space:]]*[0-9]+ - .* \(Skipped\)$' "$log")
  total_passed=$((total_passed + total - failed - skipped))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
  summaries+=("$preset: $((total - failed - skipped)) passed, $failed failed, $skipped skipped (ctest; $((SECONDS - started)) s with the build)")
}

run_fuzzing() {
  echo
  echo "==== fuzz (${FUZZ_SECONDS}s) ===="
  local log=${TESSALY_BUILD_ROOT:-build}/run-tests-fuzz.log
  mkdir -p "$(dirname "$log")"
  fuzz/run_fuzzers.sh --seconds "$FUZZ_SECONDS" 2>&1 | tee "$log"
  local counts passed failed
  counts=$(grep -Eo '^fuzz: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
  if [ -z "$counts" ]; then
    record_step_failure fuzz "run"
    return
  fi
  passed=$(echo "$counts" | grep -Eo '[0-9]+ passed' | grep -Eo '[0-9]+')
  failed=$(echo "$counts" | grep -Eo '[0-9]+ failed' | grep -Eo '[0-9]+')
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  summaries+=("fuzz: $passed passed, $failed failed (${FUZZ_SECONDS}s)")
}

if ! enable_i386_packages run-tests ||
   ! install_missing_packages run-tests "${PACKAGES[@]}" "${WINE_PACKAGES[@]}"; then
  echo "0 passed, 1 failed"
  exit 1
fi

for preset in "${PRESETS[@]}"; do
  run_preset "$preset"
done
stop_wine
[ "$FUZZ_SECONDS" -gt 0 ] && run_fuzzing

echo
echo "==== summary ===="
printf '%s\n' "${summaries[@]}"
[ "$total_skipped" -eq 0 ] || echo "$total_skipped skipped"
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]

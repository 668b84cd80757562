#!/usr/bin/env bash
# Builds the fuzz preset (clang, libFuzzer, ASan, UBSan) and runs every fuzz
# target for its share of a time budget, from the kept corpus and regression
# inputs. A finding (a crash, a sanitizer report, a failed check, a hang or a
# memory overrun) is saved under fuzz/regressions/TARGET/, where the replay
# test picks it up, and its report is shown again.
#
#   fuzz/run_fuzzers.sh [--seconds N] [--jobs J]
#
# N is the whole budget (default 300), shared out among the targets; with J
# above 1 each target runs in libFuzzer's fork mode with J processes. The corpus grows in build/fuzz/corpus,
# not in the repository. The last line is "fuzz: N passed, N failed", one test
# per target; the status is non-zero when a target failed.
set -u -o pipefail
cd "$(dirname "$0")/.."

seconds=300
jobs=1
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    *) echo "usage: $0 [--seconds N] [--jobs J]" >&2; exit 64 ;;
  esac
done

# target, share of the budget in percent, longest input, memory limit (MB)
readonly TARGETS=(
  "command_table_fuzzer 70 2048 2048"
  "runner_input_fuzzer 30 16384 3072"
)
readonly BUILD=${TESSALY_BUILD_ROOT:+$TESSALY_BUILD_ROOT/fuzz}
readonly DIR=${BUILD:-build/fuzz}

passed=0
failed=0
mkdir -p "$DIR"
if ! cmake --preset fuzz -B "$DIR" >"$DIR/run-fuzzers-build.log" 2>&1 ||
   ! cmake --build "$DIR" -j 2 --target command_table_fuzzer runner_input_fuzzer \
     >>"$DIR/run-fuzzers-build.log" 2>&1; then
  tail -n 40 "$DIR/run-fuzzers-build.log"
  echo "fuzz: the fuzz preset did not build (log: $DIR/run-fuzzers-build.log)"
  echo "fuzz: 0 passed, ${#TARGETS[@]} failed"
  exit 1
fi

for entry in "${TARGETS[@]}"; do
  read -r target share max_len rss <<<"$entry"
  budget=$((seconds * share / 100))
  corpus=$DIR/corpus/$target
  findings=fuzz/regressions/$target
  mkdir -p "$corpus" "$findings"
  cp -n fuzz/corpus/$target/* "$corpus"/ 2>/dev/null
  cp -n "$findings"/* "$corpus"/ 2>/dev/null
  log=$DIR/$target.log
  before=$(ls "$findings" | wc -l)
  echo "fuzz: $target for ${budget}s ($jobs process(es))"
  # The target's own stderr (the stand-in's message boxes) is closed;
  # libFuzzer and the sanitizers report on a copy of it.
  parallel=()
  [ "$jobs" -gt 1 ] && parallel=(-fork="$jobs")
  "$DIR/fuzz/$target" -max_total_time="$budget" -timeout=60 -report_slow_units=60 \
    -rss_limit_mb="$rss" -malloc_limit_mb="$rss" -max_len="$max_len" -close_fd_mask=2 \
    -print_final_stats=1 "${parallel[@]}" -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1
  status=$?
  grep -E "^stat::number_of_executed_units|^stat::average_exec_per_sec|^Done " "$log" | sed "s/^/fuzz: $target: /"
  after=$(ls "$findings" | wc -l)
  if [ "$status" -ne 0 ] || [ "$after" -ne "$before" ]; then
    failed=$((failed + 1))
    echo "fuzz: $target: FINDING (status $status); the log is $log; new inputs in $findings:"
    for input in $(ls -t "$findings" | head -n $((after - before))); do
      echo "--- $findings/$input"
      "$DIR/fuzz/$target" "$findings/$input" 2>&1 | tail -n 40
    done
  else
    passed=$((passed + 1))
  fi
done

echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

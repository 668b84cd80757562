#!/usr/bin/env bash
# Runs the blur benchmarks and prints their times as multiples of memcpy of
# the same 2048 x 2048 image, OpenCV's figures beside them. On a fresh Debian
# machine it first installs what is missing (OpenCV is needed here only), then
# configures the bench preset, builds and runs. Arguments go to the benchmark
# program in place of the defaults below, e.g.
#   bench/run.sh --benchmark_filter='box|memcpy' --benchmark_repetitions=5
# The build directory is the preset's own (build/bench); set
# TESSALY_BUILD_ROOT to put it elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly PACKAGES=(cmake make g++ pkg-config libpng-dev libffi-dev libgtest-dev libgmock-dev
                   libbenchmark-dev libopencv-dev)

source cmake/install_missing_packages.sh

install_missing_packages bench "${PACKAGES[@]}"

build=${TESSALY_BUILD_ROOT:+$TESSALY_BUILD_ROOT/bench}
build=${build:-build/bench}
cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" -j 2 --target blur_bench

if [ $# -eq 0 ]; then
  set -- --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_min_time=0.1
fi
"$build/bench/blur_bench" "$@"

#!/usr/bin/env bash
# Runs the benchmark programs and prints their times as multiples of memcpy of
# the same 2048 x 2048 image, the peers' figures beside them: the blurs, the
# flips, resizes and channel rules, and image creation and copying against
# OpenCV, the software paste against pixman, the gradients, sharpen, emboss
# and colour keys against pixman and OpenCV, the software device's draws (on
# 1024 x 1024) against pixman and OpenCV, the tone filters and the threshold
# against OpenCV. On a fresh Debian machine it first installs what is missing
# (the peers are needed here only), then configures the bench preset, builds
# and runs. A first argument naming one program (blur_bench, paste_bench,
# paste_command_bench,
# geometry_bench, pixel_filter_bench, draw_bench, tone_bench or
# image_access_bench) runs only that one; the other arguments go to the
# programs in place of the defaults below, e.g.
#   bench/run.sh paste_bench --benchmark_filter='mode  1|OVER|memcpy' --benchmark_repetitions=5
# The build directory is the preset's own (build/bench); set
# TESSALY_BUILD_ROOT to put it elsewhere.
set -euo pipefail
cd "$(dirname "$0")/.."

readonly PACKAGES=(cmake make g++ pkg-config libpng-dev libffi-dev libgtest-dev libgmock-dev
                   libbenchmark-dev libopencv-dev libpixman-1-dev)

source cmake/install_missing_packages.sh

install_missing_packages bench "${PACKAGES[@]}"

programs=(blur_bench paste_bench paste_command_bench geometry_bench pixel_filter_bench draw_bench tone_bench image_access_bench)
if [ $# -gt 0 ] && [[ " ${programs[*]} " == *" $1 "* ]]; then
  programs=("$1")
  shift
fi

build=${TESSALY_BUILD_ROOT:+$TESSALY_BUILD_ROOT/bench}
build=${build:-build/bench}
cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" -j 2 --target "${programs[@]}"

if [ $# -eq 0 ]; then
  set -- --benchmark_repetitions=3 --benchmark_report_aggregates_only=true --benchmark_min_time=0.1
fi
for program in "${programs[@]}"; do
  "$build/bench/$program" "$@"
done

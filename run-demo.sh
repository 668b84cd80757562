#!/usr/bin/env bash
# The demo. On a fresh Debian machine it first installs what is missing, then
# builds tessaly-run and libtessaly.so (the linux preset), runs every script
# in examples/demo/ over the example images and writes the pictures into out/
# with out/index.html, a gallery of each input beside its results and the
# script line that made each one.
#
# The build directory is the preset's own (build/linux); set
# TESSALY_BUILD_ROOT to put it elsewhere. A new family of commands joins the
# demo by adding its script to examples/demo/.
set -euo pipefail
cd "$(dirname "$0")"

readonly PACKAGES=(cmake make g++ pkg-config libpng-dev libffi-dev libgtest-dev libgmock-dev)

source cmake/install_missing_packages.sh

install_missing_packages run-demo "${PACKAGES[@]}"

build=${TESSALY_BUILD_ROOT:+$TESSALY_BUILD_ROOT/linux}
build=${build:-build/linux}
cmake --preset linux -B "$build"
cmake --build "$build" -j 2 --target tessaly-run tessaly

rm -rf out
mkdir -p out
for script in examples/demo/*.tsr; do
  echo "run-demo: $script"
  "$build/runtime/tessaly-run" --out out --gallery out/index.html "$script"
done
echo "run-demo: $(find out -maxdepth 1 -name '*.png' | wc -l) pictures in out/; open out/index.html"

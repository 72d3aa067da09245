#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Extra arguments go to CMake, e.g. -DORVANE_SANITIZE=ON or -DORVANE_TSAN=ON
# (with ORVANE_BUILD_DIR=build-asan or build-tsan to keep that build apart).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh "$@"
build_dir=${ORVANE_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600

#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Extra arguments go to CMake, e.g. -DORVANE_SANITIZE=ON or -DORVANE_TSAN=ON
# (with ORVANE_BUILD_DIR=build-asan or build-tsan to keep that build apart).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh "$@"
build_dir=${ORVANE_BUILD_DIR:-build}
export QT_QPA_PLATFORM=offscreen
# Read only by a ThreadSanitizer build. Qt, built without it, hands work to
# its own thread pool (scaling images, loading icons) through locks that
# ThreadSanitizer cannot see, so what Qt itself reads and writes is not
# checked; everything compiled here, the worker threads included, is.
export TSAN_OPTIONS=${TSAN_OPTIONS:-ignore_noninstrumented_modules=1}
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 600

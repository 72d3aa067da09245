#!/usr/bin/env bash
# Installs what is missing, builds what running needs (the program, its
# windows, its document reader and its own files; not the tests or
# benchmarks), and starts the program: the launcher window on a desktop;
# without a display, the demo on the command line: the sample tree indexed
# and searched, with the text reports printed.
set -euo pipefail
cd "$(dirname "$0")/.."
ORVANE_QUIET=1 ORVANE_TARGETS="orvane orvane_windows orvane-reader orvane_data" \
  bash scripts/setup.sh "$@"
build_dir=${ORVANE_BUILD_DIR:-build}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting $build_dir/orvane"
  exec "$build_dir/orvane"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running the demo on the command line instead."
exec "$build_dir/orvane" demo

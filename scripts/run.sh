#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${ORVANE_BUILD_DIR:-build}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build_dir/orvane"
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset); running on the command line."
exec "$build_dir/orvane" --version

#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program: the launcher
# window on a desktop; without a display, pictures of the windows instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build_dir=${ORVANE_BUILD_DIR:-build}
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build_dir/orvane"
fi
pictures="$build_dir/screenshots"
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): writing pictures of the windows into $pictures/ instead."
exec "$build_dir/orvane" --screenshots "$pictures"

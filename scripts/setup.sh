#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds Orvane File Search in build/.
# Usage: scripts/setup.sh [extra cmake -D options...]
set -euo pipefail
cd "$(dirname "$0")/.."

# librsvg2-bin draws the PNG icons; desktop-file-utils, appstream and
# man-db check the installed desktop entry, description and manual page.
packages=(cmake g++ ninja-build pkg-config qt6-base-dev libzstd-dev
          libgtest-dev libgmock-dev zstd librsvg2-bin desktop-file-utils
          appstream man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update
  "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

build_dir=${ORVANE_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${ORVANE_BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$build_dir" -j "$(nproc)"

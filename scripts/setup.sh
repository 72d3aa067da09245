#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds Orvane File Search in build/.
# Usage: scripts/setup.sh [extra cmake -D options...]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ ninja-build pkg-config qt6-base-dev libzstd-dev
          libgtest-dev libgmock-dev zstd)
bash scripts/install_missing.sh "${packages[@]}"

build_dir=${ORVANE_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="${ORVANE_BUILD_TYPE:-RelWithDebInfo}" "$@"
cmake --build "$build_dir" -j "$(nproc)"

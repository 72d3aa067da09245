#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds Orvane File Search in build/.
# Usage: scripts/setup.sh [extra cmake -D options...]
# ORVANE_TARGETS: the targets to build (default: all of them).
# ORVANE_QUIET: set, each step is one line and its own output is shown only
# when it fails.
set -euo pipefail
cd "$(dirname "$0")/.."

# step TEXT COMMAND...: runs one step of the set-up.
step() {
  local text=$1
  shift
  if [ -z "${ORVANE_QUIET:-}" ]; then
    "$@"
    return
  fi
  echo "$text ..."
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    echo "$text failed (its output is above)." >&2
    return 1
  fi
  rm -f "$log"
}

# librsvg2-bin draws the PNG icons; desktop-file-utils, appstream and
# man-db check the installed desktop entry, description and manual page.
# poppler, libarchive and pugixml are the document worker's libraries.
packages=(cmake g++ ninja-build pkg-config qt6-base-dev libzstd-dev libxxhash-dev
          libpoppler-cpp-dev libarchive-dev libpugixml-dev
          libgtest-dev libgmock-dev zstd librsvg2-bin desktop-file-utils
          appstream man-db)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  install_missing() {
    "${sudo_cmd[@]}" apt-get update
    "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
  }
  step "Installing missing packages: ${missing[*]}" install_missing
fi

build_dir=${ORVANE_BUILD_DIR:-build}
# A compiler cache, where the machine has one, makes a rebuild in a second
# checkout (or after a clean) cost what changed.
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
step "Configuring the build in $build_dir/" \
  cmake -S . -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE="${ORVANE_BUILD_TYPE:-RelWithDebInfo}" \
  "${launcher[@]}" "$@"
targets=()
for t in ${ORVANE_TARGETS:-}; do targets+=(--target "$t"); done
step "Building ${ORVANE_TARGETS:-everything}" \
  cmake --build "$build_dir" -j "$(nproc)" "${targets[@]}"

#!/usr/bin/env bash
# Installs every Debian package the build needs (when missing) and builds the suite.
#   scripts/setup.sh [extra cmake arguments]     BUILD_DIR selects the build folder (default build)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          qt6-base-dev libgl-dev python3 binutils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

#!/usr/bin/env bash
# Installs what is missing, makes a Release build and the Debian package from it, and prints the
# package's path as its last line. Install it with: sudo apt install ./voltrix_<version>_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DVOLTRIX_TESTS=OFF -DVOLTRIX_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)"
rm -rf build/release/package
cpack --config build/release/CPackConfig.cmake -B build/release/package
debs=(build/release/package/*.deb)
echo "$PWD/${debs[0]}"

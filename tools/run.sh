#!/usr/bin/env bash
# Installs what is missing, builds Voltrix and starts it on its built-in simulated receiver.
# Without a display it makes an unattended demonstration recording of about 20 seconds instead.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOLTRIX_TESTS=OFF -DVOLTRIX_BENCH=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target voltrix voltrix-sim

app=build/release/src/voltrix
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec "$app" --demo "$@"
fi
mkdir -p out
output="$PWD/out/demo-recording.csv"
"$app" --demo --record --duration 20 --output "$output" --quit "$@"
echo "No display: recorded a 20-second demonstration to $output"

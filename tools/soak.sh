#!/usr/bin/env bash
# Soak run: handshakes, reads and writes against the simulated tracker at
# 9600 baud pacing with the real engine, counting successes and failures and
# checking that the resident set stays flat after warm-up.
#
#   tools/soak.sh                 10 minutes
#   tools/soak.sh --seconds 60    as CI runs it
# Further options go to the program: --baud B, --margin-kib K.
set -euo pipefail
cd "$(dirname "$0")/.."

args=(--seconds 600)
[ $# -gt 0 ] && args=("$@")

# The normal build when there is one; otherwise a build of its own without
# the window and the benchmarks (never reconfigure the normal build).
build=${PELMORA_SOAK_BUILD_DIR:-}
if [ -z "$build" ]; then
  build=build-soak
  [ -f build/CMakeCache.txt ] && build=build
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DPELMORA_WITH_GUI=OFF -DPELMORA_WITH_BENCH=OFF > /dev/null
fi
cmake --build "$build" --target pelmora-soak -j2
exec "$build/tools/soak/pelmora-soak" "${args[@]}"

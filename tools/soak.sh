#!/usr/bin/env bash
# Soak run: handshakes, reads and writes against the simulated tracker at
# 9600 baud pacing with the real engine, counting successes and failures and
# checking that the resident set stays flat after warm-up.
#
#   tools/soak.sh                 10 minutes
#   tools/soak.sh --seconds 60    as CI runs it
# Further options go to the program: --baud B, --margin-kib K.
#
# With --station first, the station instead: pelmora-cli station with
# simulated trackers plugged and unplugged on its ports every few seconds,
# every plug's job counted against the record's lines and the station's
# resident set sampled (tools/soak/station_soak_main.cpp):
#   tools/soak.sh --station --seconds 60     as CI runs it
# Further options: --ports N, --baud B, --margin-kib K, --seed N.
set -euo pipefail
cd "$(dirname "$0")/.."

program=pelmora-soak
if [ "${1:-}" = --station ]; then
  program=pelmora-station-soak
  shift
fi
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
if [ "$program" = pelmora-station-soak ]; then
  cmake --build "$build" --target pelmora-station-soak pelmora-cli -j2
  exec "$build/tools/soak/pelmora-station-soak" --cli "$build/cli/pelmora-cli" "${args[@]}"
fi
cmake --build "$build" --target pelmora-soak -j2
exec "$build/tools/soak/pelmora-soak" "${args[@]}"

#!/usr/bin/env bash
# Builds Pelmora and runs every test. Installs what is missing on a Debian 12
# machine first (needs root or sudo for apt-get).
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
build=${PELMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build"
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} ctest --test-dir "$build" --output-on-failure -j2

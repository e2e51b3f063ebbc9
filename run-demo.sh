#!/usr/bin/env bash
# Builds Pelmora (installing what is missing on Debian 12) and starts it on
# its built-in simulated tracker: no tracker or serial cable needed.
set -euo pipefail
cd "$(dirname "$0")"
./tools/install-deps.sh
build=${PELMORA_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --target pelmora
exec "$build/app/qt/pelmora" --demo "$@"

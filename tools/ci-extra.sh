#!/usr/bin/env bash
# The checks that CI runs after the normal tests: the sanitizer builds, the
# fuzz targets (20 s each), a one-minute soak run and a one-minute station
# soak. Each step is announced and timed; the first failing step fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

. tools/ci-step.sh

total=$SECONDS
step "Sanitizers: ASan+UBSan on every test, TSan on the threaded tests" tools/run-sanitizers.sh
step "Fuzzing: every libFuzzer target for 20 s" tools/run-fuzz.sh --seconds 20
step "Soak: 60 s of handshakes, reads and writes at 9600 baud" tools/soak.sh --seconds 60
step "Station soak: 60 s of trackers plugged and unplugged on 4 ports" tools/soak.sh --station --seconds 60
echo
echo "ci-extra: all passed in $((SECONDS - total)) s"

#!/usr/bin/env bash
# Builds the project twice more with sanitizers (g++) and runs the tests:
#   build-asan  AddressSanitizer + UndefinedBehaviorSanitizer: every test
#   build-tsan  ThreadSanitizer: the tests labelled "threaded", "pty" (a test
#               on a pseudo-terminal runs the simulated tracker's thread) or
#               "gui" (the window's notification hand-off and close sequence)
# Any report fails the run. The window's tests run offscreen; both builds
# leave out the benchmarks (PELMORA_WITH_BENCH=OFF) to save CI time.
#
#   tools/run-sanitizers.sh          both
#   tools/run-sanitizers.sh asan     one of them (asan or tsan)
set -euo pipefail
cd "$(dirname "$0")/.."

which=${1:-all}
case "$which" in all|asan|tsan) ;; *) echo "usage: $0 [asan|tsan]" >&2; exit 2 ;; esac
jobs=${PELMORA_JOBS:-2}

# -O1, as the sanitizers advise. Compiler warnings are the normal build's
# business (there they are errors); with instrumentation g++ 12 adds flow
# warnings of its own (-Warray-bounds, -Wformat-truncation) that are not
# about the code, so these builds silence warnings (-w) and look only for
# what the sanitizers report at run time.
configure_and_build() {  # dir sanitizers
  cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1 -w" -DPELMORA_SANITIZE="$2" \
        -DPELMORA_WITH_GUI=ON -DPELMORA_WITH_BENCH=OFF > /dev/null
  cmake --build "$1" -j"$jobs"
}

export QT_QPA_PLATFORM=offscreen
status=0
if [ "$which" = all ] || [ "$which" = asan ]; then
  echo "=== AddressSanitizer + UndefinedBehaviorSanitizer: build-asan, every test"
  configure_and_build build-asan address,undefined
  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j"$jobs" || status=1
fi
if [ "$which" = all ] || [ "$which" = tsan ]; then
  echo "=== ThreadSanitizer: build-tsan, tests labelled threaded, pty or gui"
  configure_and_build build-tsan thread
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$PWD/tools/tsan-qt.supp" \
    ctest --test-dir build-tsan --output-on-failure -j"$jobs" -L 'threaded|pty|gui' || status=1
fi
[ "$status" -eq 0 ] && echo "sanitizers: no reports" || echo "sanitizers: FAILED (see the test output above)"
exit "$status"

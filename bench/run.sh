#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them all: the micro benchmarks,
# the timing harness against the simulated tracker, the idle cost, and the
# Qt window's idle cost when a built window exists. Writes one Markdown
# table with the date and the machine into bench/README.md, between the
# results markers, and prints it.
#
#   bench/run.sh                      everything, about ten minutes
#   bench/run.sh --reads 3 --opens 5  options go to pelmora_link_harness
#
# Environment: PELMORA_BENCH_BUILD_DIR (build-bench), PELMORA_APP (the Qt
# window, build/app/qt/pelmora), PELMORA_APP_SECONDS (60).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PELMORA_BENCH_BUILD_DIR:-build-bench}
app=${PELMORA_APP:-build/app/qt/pelmora}
app_seconds=${PELMORA_APP_SECONDS:-60}
readme=bench/README.md
work=$(mktemp -d)
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

load_before=$(cut -d' ' -f1-3 /proc/loadavg)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELMORA_WITH_BENCH=ON \
  -DPELMORA_WITH_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
ninja -C "$build" -j2 pelmora_micro_bench pelmora_link_harness

echo "== micro benchmarks"
"$build/bench/pelmora_micro_bench" --benchmark_out="$work/micro.csv" --benchmark_out_format=csv

echo "== timing harness"
"$build/bench/pelmora_link_harness" --table "$work/harness.md" "$@"

# The Qt window in demo mode, measured from outside over a minute.
app_row=""
if [ -x "$app" ]; then
  echo "== $app --demo: idle cost over $app_seconds s"
  QT_QPA_PLATFORM=offscreen "$app" --demo >"$work/app.log" 2>&1 &
  app_pid=$!
  sleep 5
  ticks=$(getconf CLK_TCK)
  cpu_ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$app_pid/stat"; }
  if [ -r "/proc/$app_pid/stat" ]; then
    t0=$(cpu_ticks)
    s0=$(date +%s.%N)
    sleep "$app_seconds"
    t1=$(cpu_ticks)
    s1=$(date +%s.%N)
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$app_pid/status")
    app_row=$(awk -v t0="$t0" -v t1="$t1" -v s0="$s0" -v s1="$s1" -v hz="$ticks" -v rss="$rss" -v n="$app_seconds" 'BEGIN {
      cpu = (t1 - t0) / hz; wall = s1 - s0; pct = 100 * cpu / wall;
      printf "| Qt window `pelmora --demo`, offscreen, as it starts (over %d s, from /proc) | %.3f %% of a core (%.0f ms CPU per minute), RSS %.1f MB | < 0.5 %% of one core | %s |\n",
        n, pct, 60000 * cpu / wall, rss / 1024, pct < 0.5 ? "yes" : "**no**" }')
    echo "$app_row"
  else
    echo "the window ended at once; see $work/app.log" >&2
  fi
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  app_pid=""
fi

load_after=$(cut -d' ' -f1-3 /proc/loadavg)
cpu_model=$(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')

{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores, ${cpu_model:-unknown CPU}, Linux $(uname -r);"
  echo "$(g++ --version | head -1), Release build. Load average (1, 5, 15 min) before: $load_before, after: $load_after."
  echo
  echo "| Measurement | Result | Target | Met |"
  echo "|---|---|---|---|"
  # Micro benchmarks: CPU time per operation, and its share (parts per million) of the 3560 ms a read takes on the line.
  awk -F'"' '/^"BM_/ {
      split($3, f, ","); t = f[4]; unit = f[5];
      us = t / (unit == "ns" ? 1000 : unit == "ms" ? 0.001 : unit == "s" ? 0.000001 : 1);
      printf "| %s | %.2f µs CPU per operation (%.2g ppm of 3560 ms of line) | - | - |\n", $4, us, us / 3.5604
    }' "$work/micro.csv"
  cat "$work/harness.md"
  if [ -n "$app_row" ]; then echo "$app_row"; fi
} >"$work/results.md"

awk -v block="$work/results.md" '
  /<!-- results:begin -->/ { print; while ((getline line < block) > 0) print line; skipping = 1; next }
  /<!-- results:end -->/ { skipping = 0 }
  !skipping { print }
' "$readme" >"$work/README.md"
cp "$work/README.md" "$readme"

echo
cat "$work/results.md"
echo
echo "Written into $readme."

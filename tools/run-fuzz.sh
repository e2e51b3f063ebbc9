#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/, clang++) and runs each one for a
# bounded time. Fails on any finding: a crash, a broken property, a leak,
# undefined behaviour, a hang or running out of memory.
#
#   tools/run-fuzz.sh                 60 s per target
#   tools/run-fuzz.sh --seconds 900   longer, by hand
#
# Each target starts from its committed seeds (fuzz/corpus/<target>) and the
# inputs that earlier runs found (fuzz/corpus-work/<target>, not committed).
# A finding is kept as build-fuzz/findings/<target>-crash-...; turn it into a
# regression test (tests/faults/) with the input written inline.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=60
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    [0-9]*) seconds="$1"; shift ;;
    *) echo "usage: $0 [--seconds N]" >&2; exit 2 ;;
  esac
done

# clang and its fuzzer runtime (Debian 12).
missing=()
for p in clang-14 libclang-rt-14-dev nlohmann-json3-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
cxx=$(command -v clang++-14 || command -v clang++)

build=${PELMORA_FUZZ_BUILD_DIR:-build-fuzz}
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" -j2

# Longest input worth trying, per target: the framer sees more than one
# buffer's worth so that it must drop stale bytes; a reply frame is at most
# 4096 bytes, its settings image at most 4079.
declare -A max_len=(
  [fuzz_frame_assembler]=16384
  [fuzz_parse_reply]=5000
  [fuzz_settings_codec]=4200
  [fuzz_text_conversion]=4096
  [fuzz_settings_json]=16384
)

export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/findings"
failed=()
summary=()
for target in fuzz_frame_assembler fuzz_parse_reply fuzz_settings_codec fuzz_text_conversion fuzz_settings_json; do
  echo "=== $target: ${seconds} s"
  work="fuzz/corpus-work/$target"
  log="$build/$target.log"
  mkdir -p "$work"
  status=0
  "$build/$target" "$work" "fuzz/corpus/$target" \
    -max_total_time="$seconds" -max_len="${max_len[$target]}" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$target-" > "$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 || true)
  line="$target: ${runs:-?} executions in ${time:-?} s, ${cov:-cov: ?}, corpus $(ls "$work" | wc -l) inputs"
  if [ "$status" -ne 0 ]; then
    failed+=("$target")
    line="$line -- FINDING (exit $status)"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*property broken|.*runtime error|artifact_prefix|Test unit written)' "$log" || tail -40 "$log"
  fi
  echo "$line"
  summary+=("$line")
done

echo "=== fuzzing summary"
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED: findings in ${failed[*]} (inputs in $build/findings/, logs in $build/*.log)"
  exit 1
fi
echo "fuzzing: no findings"

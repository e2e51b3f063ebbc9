#!/usr/bin/env bash
# Times pelmora-cli from outside, as a fleet installer runs it, against
# simulated trackers on pseudo-terminals mapped through the user's port map:
#
#   apply  one profile to 1 tracker, then to 8 in parallel (runs interleaved,
#          so that both see the same load); every run with fresh trackers, so
#          that every run really writes
#   scan   20 ports: 1 tracker, 5 silent trackers, 7 pseudo-terminals with
#          nobody behind them, 7 paths that do not exist
#   quickscan  8 ports that all answer or fail: 1 tracker, 3 pseudo-terminals
#          that hang up as the handshake reaches them, 4 paths that do not
#          exist; it should end with the tracker's answer, not after the
#          handshake wait
#   read   `read COM5 -o -` from one tracker, against the line time of the
#          bytes the simulated line carries (its replies)
#   write  `write COM5 PROFILE` (read, write, read back) to one tracker, two
#          profiles in turn so that every run really writes; the same yardstick
#   station  `station --count N PROFILE` waiting on its [Ports] entries, the
#          trackers' links then made at once: 1 tracker, then 8 (interleaved),
#          from the links to the station's exit; and from each link to the
#          handshake reaching its tracker
#
#   bench/cli_speed.sh [--runs N] [--trackers N] [--baud N] [--only apply|scan|quickscan|read|write|station]
#
# Environment: PELMORA_CLI (build/cli/pelmora-cli), PELMORA_SIM
# (build/tools/pelmora-simtracker). Prints one line per run and a summary
# (median, min, max), with the load average before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${PELMORA_CLI:-build/cli/pelmora-cli}")
sim=$(realpath "${PELMORA_SIM:-build/tools/pelmora-simtracker}")
runs=5
trackers=8
baud=9600
only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --trackers) trackers=$2; shift 2 ;;
    --baud) baud=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--trackers N] [--baud N] [--only apply|scan|quickscan|read|write|station]" >&2; exit 2 ;;
  esac
done

work=$(mktemp -d)
pids=()
stop_all() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  pids=()
}
cleanup() { stop_all; rm -rf "$work"; }
trap cleanup EXIT
export XDG_CONFIG_HOME="$work/config"
export XDG_DATA_HOME="$work/data"  # what the tool keeps per tracker stays in the run's folder
mkdir -p "$XDG_CONFIG_HOME/KVL"
echo '{"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}}' >"$work/profile.json"
echo '{"pelmora-settings": 1, "fields": {"SmsReportInterval": 46}}' >"$work/profile-other.json"

# stamp VAR: the time in milliseconds into VAR, without starting a process
# (a `date` in a subshell adds 10 to 20 ms to what is timed).
stamp() { local us=${EPOCHREALTIME/[.,]/}; printf -v "$1" '%d' $((us / 1000)); }

# One simulated tracker behind the symbolic link $1; further arguments go to it.
start_tracker() {
  local link=$1
  shift
  rm -f "$link"
  "$sim" --image extended --baud "$baud" --quiet --link "$link" "$@" >/dev/null 2>&1 &
  pids+=($!)
}

# A pseudo-terminal that nobody reads or answers, behind the symbolic link $1.
start_dead_pty() {
  rm -f "$1"
  python3 -c 'import os, sys, time
m, s = os.openpty()
os.symlink(os.ttyname(s), sys.argv[1])
time.sleep(3600)' "$1" &
  pids+=($!)
}

# A pseudo-terminal behind the symbolic link $1 that hangs up (its other
# side closes) as soon as a handshake reaches it.
start_hangup_pty() {
  rm -f "$1"
  python3 -c 'import os, sys
m, s = os.openpty()
os.symlink(os.ttyname(s), sys.argv[1])
os.read(m, 17)
os.close(m)' "$1" &
  pids+=($!)
}

wait_for_links() {
  local link
  for link in "$@"; do
    for _ in $(seq 200); do [ -e "$link" ] && break; sleep 0.01; done
    [ -e "$link" ] || { echo "no device at $link" >&2; exit 1; }
  done
}

# Writes the port map: COM5, COM6, ... for the paths given, in order.
write_map() {
  local n=5 path
  { echo "[Ports]"; echo "Automatic=no"
    for path in "$@"; do echo "COM$n=$path"; n=$((n + 1)); done; } >"$XDG_CONFIG_HOME/KVL/COMM.conf"
}

# Median, min and max of the numbers on standard input.
summary() {
  sort -n | awk '{ v[NR] = $1 } END {
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "median %d ms, min %d ms, max %d ms (%d runs)", m, v[1], v[NR], NR }'
}
median() { sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# apply to $1 fresh trackers; prints the milliseconds from start to exit.
time_apply() {
  local count=$1 links=() ports=() i
  for i in $(seq "$count"); do
    links+=("$work/tracker$i")
    ports+=("COM$((4 + i))")
  done
  for link in "${links[@]}"; do start_tracker "$link"; done
  wait_for_links "${links[@]}"
  write_map "${links[@]}"
  local start end status=0
  stamp start
  "$cli" apply --quiet "$work/profile.json" "${ports[@]}" >"$work/apply.out" 2>&1 || status=$?
  stamp end
  stop_all
  if [ "$status" -ne 0 ] || [ "$(grep -c verified "$work/apply.out")" -ne "$count" ]; then
    echo "apply to $count failed (exit $status):" >&2
    cat "$work/apply.out" >&2
    exit 1
  fi
  echo $((end - start))
}

# One simulated tracker behind the link $1 whose every line of requests and
# replies goes to $2 with the time it was printed (milliseconds).
start_logged_tracker() {
  rm -f "$1"
  "$sim" --image extended --baud "$baud" --link "$1" > >(
    while IFS= read -r line; do stamp t; echo "$t $line"; done >"$2") 2>&1 &
  pids+=($!)  # the tracker's: once it ends, so does the stamping
}

# A station run for $1 trackers plugged at once: the station starts with its
# [Ports] entries' links absent and waits; the links then appear, one right
# after the other (a few milliseconds apart: each `ln` is a process). Prints
# the milliseconds from the first link to the station's exit, then the
# longest time from a tracker's link to its first handshake request. All
# trackers hold the demo image's IMEI: their reads end together, before any
# of them is verified, so none is taken for done earlier.
time_station() {
  local count=$1 i status=0 start end slowest=0 plugged seen spid
  local sims=() ports=()
  for i in $(seq "$count"); do
    sims+=("$work/sim$i")
    ports+=("$work/port$i")
    start_logged_tracker "$work/sim$i" "$work/sim$i.log"
  done
  wait_for_links "${sims[@]}"
  write_map "${ports[@]}"
  rm -f "${ports[@]}" "$work/record.jsonl"
  "$cli" station --count "$count" --log "$work/record.jsonl" "$work/profile.json" >"$work/station.out" 2>&1 &
  spid=$!
  sleep 1  # the station is up and waiting
  stamp start
  for i in $(seq "$count"); do
    ln -s "$(readlink "$work/sim$i")" "$work/port$i"
    stamp "plugged_$i"
  done
  wait "$spid" || status=$?
  stamp end
  for i in $(seq "$count"); do
    plugged=plugged_$i
    seen=$(awk '/request: handshake/ { print $1; exit }' "$work/sim$i.log")
    if [ -n "$seen" ] && [ $((seen - ${!plugged})) -gt "$slowest" ]; then slowest=$((seen - ${!plugged})); fi
  done
  stop_all
  if [ "$status" -ne 0 ] || [ "$(grep -c '"verified":true' "$work/record.jsonl")" -ne "$count" ]; then
    echo "station with $count failed (exit $status):" >&2
    cat "$work/station.out" >&2
    exit 1
  fi
  echo "$((end - start)) $slowest"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

if [ -z "$only" ] || [ "$only" = station ]; then
  : >"$work/one" && : >"$work/many" && : >"$work/handshake"
  for run in $(seq "$runs"); do
    time_station 1 >"$work/run"
    read -r one first1 <"$work/run"
    time_station "$trackers" >"$work/run"
    read -r many firstn <"$work/run"
    echo "$one" >>"$work/one"
    echo "$many" >>"$work/many"
    echo "$first1" >>"$work/handshake"
    echo "$firstn" >>"$work/handshake"
    echo "run $run: station with 1: $one ms, with $trackers: $many ms; link to first handshake at most $first1 ms, $firstn ms (load $(cut -d' ' -f1 /proc/loadavg))"
  done
  m1=$(median <"$work/one")
  mn=$(median <"$work/many")
  echo "station, 1 tracker:   $(summary <"$work/one")"
  echo "station, $trackers trackers:  $(summary <"$work/many")"
  awk -v a="$m1" -v b="$mn" 'BEGIN {
    printf "ratio of the medians: %.3f (target <= 1.15): %s\n", b / a, b / a <= 1.15 ? "met" : "MISSED" }'
  worst=$(sort -n "$work/handshake" | tail -1)
  echo "link to first handshake, slowest tracker of each run: $(summary <"$work/handshake")"
  echo "slowest of all: $worst ms (target <= 1500 ms): $([ "$worst" -le 1500 ] && echo met || echo MISSED)"
fi

if [ -z "$only" ] || [ "$only" = apply ]; then
  : >"$work/one" && : >"$work/many"
  for run in $(seq "$runs"); do
    one=$(time_apply 1)
    many=$(time_apply "$trackers")
    echo "$one" >>"$work/one"
    echo "$many" >>"$work/many"
    echo "run $run: apply to 1: $one ms, to $trackers: $many ms (load $(cut -d' ' -f1 /proc/loadavg))"
  done
  m1=$(median <"$work/one")
  mn=$(median <"$work/many")
  echo "apply to 1 tracker:   $(summary <"$work/one")"
  echo "apply to $trackers trackers:  $(summary <"$work/many")"
  awk -v a="$m1" -v b="$mn" -v n="$trackers" 'BEGIN {
    printf "ratio of the medians: %.3f (target <= 1.15): %s\n", b / a, b / a <= 1.15 ? "met" : "MISSED" }'
fi

if [ -z "$only" ] || [ "$only" = scan ]; then
  # The tracker comes last, so that it is found however the others behave.
  paths=()
  for i in $(seq 7); do paths+=("/nonexistent/pelmora/tty$i"); done
  for i in $(seq 7); do start_dead_pty "$work/dead$i"; paths+=("$work/dead$i"); done
  for i in $(seq 5); do start_tracker "$work/silent$i" --silent; paths+=("$work/silent$i"); done
  start_tracker "$work/tracker"
  paths+=("$work/tracker")
  wait_for_links "${paths[@]:7}"
  write_map "${paths[@]}"
  : >"$work/scan"
  for run in $(seq "$runs"); do
    stamp start
    status=0
    "$cli" scan >"$work/scan.out" 2>&1 || status=$?
    stamp end
    if [ "$status" -ne 0 ] || [ "$(grep -c 'tracker answering' "$work/scan.out")" -ne 1 ]; then
      echo "scan failed (exit $status):" >&2
      cat "$work/scan.out" >&2
      exit 1
    fi
    echo $((end - start)) >>"$work/scan"
    echo "run $run: scan of ${#paths[@]} ports: $((end - start)) ms, found $(cut -d' ' -f1 "$work/scan.out") (load $(cut -d' ' -f1 /proc/loadavg))"
  done
  ms=$(median <"$work/scan")
  echo "scan of ${#paths[@]} ports: $(summary <"$work/scan")"
  awk -v m="$ms" 'BEGIN { printf "against one handshake wait (4000 ms): %.3f (target <= 1.2): %s\n", m / 4000, m / 4000 <= 1.2 ? "met" : "MISSED" }'
  stop_all
fi

if [ -z "$only" ] || [ "$only" = quickscan ]; then
  start_tracker "$work/tracker"
  wait_for_links "$work/tracker"
  : >"$work/quickscan"
  for run in $(seq "$runs"); do
    paths=()
    for i in $(seq 4); do paths+=("/nonexistent/pelmora/tty$i"); done
    for i in $(seq 3); do start_hangup_pty "$work/hangup$i"; paths+=("$work/hangup$i"); done
    paths+=("$work/tracker")
    wait_for_links "${paths[@]:4}"
    write_map "${paths[@]}"
    stamp start
    status=0
    "$cli" scan >"$work/scan.out" 2>&1 || status=$?
    stamp end
    if [ "$status" -ne 0 ] || [ "$(grep -c 'tracker answering' "$work/scan.out")" -ne 1 ]; then
      echo "scan failed (exit $status):" >&2
      cat "$work/scan.out" >&2
      exit 1
    fi
    echo $((end - start)) >>"$work/quickscan"
    echo "run $run: scan of ${#paths[@]} ports that answer or fail: $((end - start)) ms (load $(cut -d' ' -f1 /proc/loadavg))"
  done
  echo "scan of ${#paths[@]} ports that answer or fail: $(summary <"$work/quickscan")"
  stop_all
fi

# One tracker for every run of $1 (read or write): each run from start to
# exit against the line time of the replies the simulator paces, 10 bits a
# byte (a pseudo-terminal carries the tool's requests at once). A read is
# the handshake reply and the settings reply (18 + 3401 bytes); a write
# reads, writes and reads back (18 + 3401 + 18 + 3401 bytes).
time_exchange() {
  local what=$1 reply_bytes run start end status profile
  start_tracker "$work/tracker"
  wait_for_links "$work/tracker"
  write_map "$work/tracker"
  [ "$what" = read ] && reply_bytes=3419 || reply_bytes=6838
  : >"$work/$what"
  for run in $(seq "$runs"); do
    [ $((run % 2)) -eq 0 ] && profile=$work/profile.json || profile=$work/profile-other.json
    status=0
    stamp start
    if [ "$what" = read ]; then
      "$cli" read --quiet COM5 -o - >"$work/out" 2>&1 || status=$?
    else
      "$cli" write --quiet COM5 "$profile" >"$work/out" 2>&1 || status=$?
    fi
    stamp end
    if [ "$status" -ne 0 ] || { [ "$what" = write ] && ! grep -q "1 field changed  verified" "$work/out"; }; then
      echo "$what failed (exit $status):" >&2
      cat "$work/out" >&2
      exit 1
    fi
    echo $((end - start)) >>"$work/$what"
    echo "run $run: $what: $((end - start)) ms (load $(cut -d' ' -f1 /proc/loadavg))"
  done
  stop_all
  echo "$what: $(summary <"$work/$what")"
  awk -v m="$(median <"$work/$what")" -v b="$reply_bytes" -v baud="$baud" 'BEGIN { line = b * 10000 / baud
    printf "against %.1f ms of line: %+.2f %% (target: within 0.5 %%): %s\n", line, (m / line - 1) * 100,
      m <= line * 1.005 ? "met" : "MISSED" }'
}

for what in read write; do
  if [ -z "$only" ] || [ "$only" = "$what" ]; then time_exchange "$what"; fi
done

echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"

#!/usr/bin/env bash
# The Windows build, proved under Wine:
#   1. installs the cross compiler, Wine and zip (packaging/windows/packages.txt)
#   2. cross-builds the core, its tests and the Windows programs into build-win/
#      (cmake/mingw-w64-x86_64.cmake), and the simulated tracker for Linux
#      into build-win/host/ (or into $PELMORA_HOST_BUILD, an existing build folder)
#   3. runs the core tests under wine64 in a throw-away prefix, build-win/wine-prefix
#   4. end to end: the simulated tracker on a pseudo-terminal, the prefix's
#      COM$PELMORA_WIN_COM linked to it, the Win32 serial port talking to it
#      (and, once it exists, pelmora-cli.exe: see cli_end_to_end)
#   5. packs build-win/pelmora-VERSION-windows-x64.zip
# Ends with "N passed, N failed, N skipped" and exits non-zero on a failure.
#
#   tools/windows-ci.sh            everything
#   tools/windows-ci.sh --no-install   without the apt-get step (the packages are there)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-win
e2e=$out/end-to-end
wine=/usr/lib/wine/wine64  # Debian keeps the loader off PATH
# Any number from 5 to 100; the prefix keeps COM1..COM100 away from real devices.
com_port=${PELMORA_WIN_COM:-7}
tracker_link=$e2e/tracker.tty
# The Linux build that gives the simulated tracker; CI may name its own build
# folder here to save compiling the core a second time.
host=${PELMORA_HOST_BUILD:-$out/host}
export WINEPREFIX=$out/wine-prefix
export WINEDEBUG=-all

passed=0 failed=0 skipped=0
failures=()
pass() { passed=$((passed + 1)); echo "PASS  $1"; }
fail() { failed=$((failed + 1)); failures+=("$1"); echo "FAIL  $1"; }
skip() { skipped=$((skipped + 1)); echo "SKIP  $1: $2"; }

# phase NAME FUNCTION: runs FUNCTION and says how long it took.
phase() {
  local started=$SECONDS
  echo "== $1"
  "$2"
  echo "== $1: $((SECONDS - started)) s"
}

install_tools() {
  local wanted missing=()
  mapfile -t wanted < <(grep -v '^#' "$root/packaging/windows/packages.txt" | grep .)
  for p in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq -o DPkg::Lock::Timeout=120 \
    --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$out"
  # The simulated tracker runs on the Linux side of the line.
  [ -f "$host/CMakeCache.txt" ] || cmake -S "$root" -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DPELMORA_WITH_GUI=OFF -DPELMORA_WITH_BENCH=OFF -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$host" --target pelmora-simtracker
}

make_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    rm -rf "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg import "$(port_overrides)" >/dev/null 2>&1
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    /usr/lib/wine/wineserver -w
  fi
  # One server (and one start of Wine's services) for all the runs instead of
  # about 5 s for each program; cleanup ends it. The server takes the first
  # pseudo-terminal it opens as its controlling terminal and dumps its state
  # when that hangs up: into its own log, not into this run's output.
  /usr/lib/wine/wineserver -p >"$out/wineserver.log" 2>&1
  "$wine" cmd /c exit >/dev/null 2>&1 || true
  # Wine links every serial device it finds to the first free COM number:
  # here /dev/ttyS0, the kernel's console. Refuse to run if one is in reach.
  local reachable
  reachable=$(find "$WINEPREFIX/dosdevices" -maxdepth 1 -regextype posix-extended -regex '.*/com([1-9][0-9]?|100)' -lname '/dev/tty*' -printf '%f ')
  if [ -n "$reachable" ]; then
    echo "a real serial device is reachable in the Wine prefix: $reachable" >&2
    return 1
  fi
}

# A .reg file that maps COM1..COM100 (every number the tools try) to
# /dev/null, COM$com_port to the simulated tracker's link, and so pushes the
# machine's own serial devices to COM101 and above.
port_overrides() {
  local file=$out/wine-ports.reg
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
    for n in $(seq 1 100); do
      if [ "$n" -eq "$com_port" ]; then
        printf '"COM%d"="%s"\r\n' "$n" "$tracker_link"
      else
        printf '"COM%d"="/dev/null"\r\n' "$n"
      fi
    done
  } >"$file"
  echo "$file"
}

core_tests() {
  local log=$out/core-tests.log
  # The pty label marks the tests that need the simulated tracker behind a COM port.
  if ctest --test-dir "$out" -LE pty --output-on-failure --timeout 120 >"$log" 2>&1; then :; fi
  sed -n '/tests passed/,$p' "$log"
  local total failures_here skips
  total=$(sed -n 's/.*tests failed out of \([0-9]\+\).*/\1/p' "$log")
  failures_here=$(sed -n 's/.* \([0-9]\+\) tests failed out of.*/\1/p' "$log")
  skips=$(grep -c '\*\*\*Skipped' "$log" || true)
  if [ -z "$total" ]; then
    cat "$log"
    fail "core tests under Wine: ctest gave no summary"
    return
  fi
  passed=$((passed + total - failures_here - skips))
  skipped=$((skipped + skips))
  failed=$((failed + failures_here))
  [ "$failures_here" -eq 0 ] || { failures+=("core tests under Wine"); grep -A1 'Failed\|\*\*\*' "$log" || true; }
  echo "core test programs under Wine: $((total - failures_here - skips)) passed, $failures_here failed, $skips skipped"
}

# ---- The simulated tracker behind COM$com_port --------------------------------

tracker_pid=""

# start_tracker NAME [simulator options]: one tracker at a time, behind
# COM$com_port (the prefix maps it to $tracker_link); its log goes to $e2e/NAME.log.
start_tracker() {
  local name=$1
  shift
  mkdir -p "$e2e"
  rm -f "$e2e/$name.log" "$tracker_link"
  "$host/tools/pelmora-simtracker" --baud 0 --link "$tracker_link" "$@" >"$e2e/$name.log" 2>&1 &
  tracker_pid=$!
  for _ in $(seq 100); do
    [ -L "$tracker_link" ] && break
    sleep 0.1
  done
  [ -L "$tracker_link" ] || { cat "$e2e/$name.log"; return 1; }
  ln -sfn "$tracker_link" "$WINEPREFIX/dosdevices/com$com_port"
}

stop_tracker() {
  [ -n "$tracker_pid" ] || return 0
  kill -TERM "$tracker_pid" 2>/dev/null || true
  wait "$tracker_pid" 2>/dev/null || true
  tracker_pid=""
}

# wait_for_log FILE TEXT COUNT: until TEXT stands COUNT times in FILE (at most 30 s).
wait_for_log() {
  for _ in $(seq 300); do
    [ "$(grep -cF -- "$2" "$1" || true)" -ge "$3" ] && return 0
    sleep 0.1
  done
  return 1
}

# expect_seen NAME TEXT: the stopped tracker's closing count, e.g. "1 handshakes, 1 reads, 0 writes".
expect_seen() {
  grep -qxF "seen: $2" "$e2e/$1.log"
}

serial_port_end_to_end() {
  start_tracker port --image basic
  # The second test's handshake is the signal to pull the line.
  PELMORA_TEST_COM_PORT=$com_port PELMORA_TEST_HANGUP=1 \
    timeout 120 "$wine" "$out/tests/link/pelmora_win32_serial_port_test.exe" >"$e2e/port-test.log" 2>&1 &
  local test_pid=$!
  wait_for_log "$e2e/port.log" "request: handshake, 17 bytes" 2 || true
  stop_tracker
  local status=0
  wait "$test_pid" || status=$?
  sed -n '/^\[  \(PASSED\|FAILED\|SKIPPED\) \]/p' "$e2e/port-test.log"

  if [ "$status" -eq 0 ] && ! grep -q '^\[  SKIPPED \]' "$e2e/port-test.log"; then
    pass "Win32 serial port on COM$com_port: handshake, settings read, pulled line"
  else
    cat "$e2e/port-test.log"
    fail "Win32 serial port on COM$com_port (exit $status)"
  fi
  # What reached the tracker, by its own count: two handshakes and one read, whole and with good checksums.
  if expect_seen port "2 handshakes, 1 reads, 0 writes" && ! grep -q "wrong checksum" "$e2e/port.log"; then
    pass "the simulated tracker received the Windows program's requests"
  else
    cat "$e2e/port.log"
    fail "the simulated tracker's record of the Windows program's requests"
  fi
}

# pelmora-cli under Wine against the simulated tracker, as the Linux
# end-to-end test runs it. The runs go in the marked spot, e.g.
#
#   run_cli read "COM$com_port" ...  && pass "..." || fail "..."
#   expect_seen cli "1 handshakes, 1 reads, 0 writes"   (after stop_tracker)
cli_end_to_end() {
  local cli=$out/cli/pelmora-cli.exe
  if [ ! -f "$cli" ]; then
    skip "pelmora-cli under Wine" "pelmora-cli.exe is not built yet"
    return
  fi
  run_cli() { timeout 120 "$wine" "$cli" "$@"; }
  start_tracker cli --image basic --save-writes "$e2e/cli-written.bin"
  # ---- pelmora-cli.exe read / write / apply runs go here ----
  stop_tracker
}

# ---- The download ------------------------------------------------------------

windows_programs=(cli/pelmora-cli.exe)

package() {
  local version name stage
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
  name=pelmora-$version-windows-x64
  stage=$out/package/$name
  rm -rf "$out/package" "$out/$name.zip"
  mkdir -p "$stage/licenses"

  local copied=0
  for program in "${windows_programs[@]}"; do
    if [ -f "$out/$program" ]; then
      cp "$out/$program" "$stage/"
      copied=$((copied + 1))
    fi
  done
  [ "$copied" -gt 0 ] || echo "no Windows program built yet: the zip holds the texts only"

  local own_licence="The program's own licence is not yet stated in its source tree."
  [ -f "$root/LICENSE" ] && own_licence=$(cat "$root/LICENSE")
  # Windows editors expect CR LF.
  sed "s/@VERSION@/$version/" "$root/packaging/windows/README.txt" | sed 's/$/\r/' >"$stage/README.txt"
  awk -v version="$version" -v own="$own_licence" \
    '{ gsub(/@VERSION@/, version); if ($0 == "@PELMORA_LICENSE@") print own; else print }' \
    "$root/packaging/windows/LICENSE.txt" | sed 's/$/\r/' >"$stage/LICENSE.txt"
  sed 's/$/\r/' /usr/share/doc/gcc-mingw-w64-base/copyright >"$stage/licenses/gcc-runtime.txt"
  sed 's/$/\r/' /usr/share/doc/mingw-w64-common/copyright >"$stage/licenses/mingw-w64-runtime.txt"

  (cd "$out/package" && zip -q -r -X "$out/$name.zip" "$name")
  echo "$out/$name.zip:"
  unzip -l "$out/$name.zip" | sed -n '4,$p'
  pass "Windows zip $name.zip"
}

cleanup() {
  stop_tracker
  # Our prefix's server only; it would linger a few seconds otherwise.
  [ -d "$WINEPREFIX" ] && WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
}

main() {
  trap cleanup EXIT
  [ "${1:-}" = "--no-install" ] || phase "install" install_tools
  phase "cross build" build
  phase "Wine prefix" make_prefix
  phase "core tests under Wine" core_tests
  phase "Win32 serial port end to end" serial_port_end_to_end
  phase "pelmora-cli end to end" cli_end_to_end
  phase "zip" package
  for f in "${failures[@]}"; do echo "failed: $f"; done
  echo "windows: $passed passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ]
}

main "$@"

#!/usr/bin/env bash
# The Windows build, proved under Wine:
#   1. installs the cross compiler, Wine and zip (packaging/windows/packages.txt)
#   2. cross-builds the core, its tests and the Windows programs into build-win/
#      (cmake/mingw-w64-x86_64.cmake), and the simulated tracker for Linux
#      into build-win/host/ (or into $PELMORA_HOST_BUILD, an existing build folder)
#   3. runs the core tests under wine64 in a throw-away prefix, build-win/wine-prefix,
#      with the window's own (its controls from the templates, the registry
#      store, pelmora.exe --self-test against the demo tracker) on a virtual
#      display of this run's (Xvfb)
#   4. end to end: simulated trackers on pseudo-terminals, the prefix's
#      COM$PELMORA_WIN_COM and the number after it linked to them, the Win32
#      serial port (a stalled line too) and then pelmora-cli.exe (read, write,
#      apply) talking to them, and pelmora.exe --self-test --port COMn
#      (scan, read, one field edited, write, as a user drives the window)
#   5. pelmora.exe --screenshots: a PNG of each tab, in English and Russian
#   6. packs build-win/pelmora-VERSION-windows-x64.zip and, with makensis,
#      the installer build-win/pelmora-VERSION-windows-x64-setup.exe, which
#      is installed and uninstalled silently under Wine
# Ends with "N passed, N failed, N skipped" and exits non-zero on a failure.
#
#   tools/windows-ci.sh            everything
#   tools/windows-ci.sh --no-install   without the apt-get step (the packages are there)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build-win
e2e=$out/end-to-end
wine=/usr/lib/wine/wine64  # Debian keeps the loader off PATH
# Any number from 5 to 98; the prefix keeps COM1..COM100 away from real
# devices. The number after it is the second tracker's, for apply.
com_port=${PELMORA_WIN_COM:-7}
second_com=$((com_port + 1))
# The Linux build that gives the simulated tracker; CI may name its own build
# folder here to save compiling the core a second time.
host=${PELMORA_HOST_BUILD:-$out/host}
export WINEPREFIX=$out/wine-prefix
export WINEDEBUG=-all
display_pid=""

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
  local ports
  ports=$(port_overrides)
  [ -f "$WINEPREFIX/system.reg" ] || { rm -rf "$WINEPREFIX"; "$wine" wineboot -i >/dev/null 2>&1; }
  # A prefix kept from a run with other port numbers gets this run's.
  if ! cmp -s "$ports" "$WINEPREFIX/pelmora-ports.reg"; then
    "$wine" reg import "$ports" >/dev/null 2>&1
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    /usr/lib/wine/wineserver -w
    cp "$ports" "$WINEPREFIX/pelmora-ports.reg"
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

# The link a simulated tracker keeps for COM number $1.
tracker_link() { echo "$e2e/com$1.tty"; }

# A .reg file that maps COM1..COM100 (every number the tools try) to
# /dev/null, COM$com_port and COM$second_com to the simulated trackers'
# links, and so pushes the machine's own serial devices to COM101 and above.
port_overrides() {
  local file=$out/wine-ports.reg
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
    for n in $(seq 1 100); do
      if [ "$n" -eq "$com_port" ] || [ "$n" -eq "$second_com" ]; then
        printf '"COM%d"="%s"\r\n' "$n" "$(tracker_link "$n")"
      else
        printf '"COM%d"="/dev/null"\r\n' "$n"
      fi
    done
  } >"$file"
  echo "$file"
}

# A virtual display for the programs that open windows, one for the whole
# run: Wine's desktop process stays with the display it first saw. Without
# Xvfb the window tests report themselves skipped.
start_display() {
  if ! command -v Xvfb >/dev/null; then
    echo "Xvfb is not installed (Debian package xvfb): the window's tests will be skipped"
    unset DISPLAY
    return
  fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
  done
  Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
  display_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
  echo "display $DISPLAY"
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

# ---- Simulated trackers behind COM ports ------------------------------------

declare -A tracker_pids=()

# start_tracker NAME COM [simulator options]: a tracker behind COM number
# COM (the prefix maps it to its tracker_link); its log goes to $e2e/NAME.log.
start_tracker() {
  local name=$1 com=$2 link
  shift 2
  link=$(tracker_link "$com")
  mkdir -p "$e2e"
  rm -f "$e2e/$name.log" "$link"
  "$host/tools/pelmora-simtracker" --baud 0 --link "$link" "$@" >"$e2e/$name.log" 2>&1 &
  tracker_pids[$name]=$!
  for _ in $(seq 100); do
    [ -L "$link" ] && break
    sleep 0.1
  done
  [ -L "$link" ] || { cat "$e2e/$name.log"; return 1; }
  ln -sfn "$link" "$WINEPREFIX/dosdevices/com$com"
}

# stop_tracker NAME: ends it, which writes its closing count into its log.
stop_tracker() {
  local pid=${tracker_pids[$1]:-}
  [ -n "$pid" ] || return 0
  kill -TERM "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  unset "tracker_pids[$1]"
}

stop_trackers() {
  local name
  for name in "${!tracker_pids[@]}"; do stop_tracker "$name"; done
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
  start_tracker port "$com_port" --image basic
  # The second test's handshake is the signal to pull the line.
  PELMORA_TEST_COM_PORT=$com_port PELMORA_TEST_HANGUP=1 \
    timeout 120 "$wine" "$out/tests/link/pelmora_win32_serial_port_test.exe" --gtest_filter='-*Stalled*' \
    >"$e2e/port-test.log" 2>&1 &
  local test_pid=$!
  wait_for_log "$e2e/port.log" "request: handshake, 17 bytes" 2 || true
  stop_tracker port
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

# A tracker whose process is stopped takes nothing from the line: once its
# pseudo-terminal is full, a write must fail within its time-out.
stalled_line() {
  start_tracker stalled "$com_port" --image basic
  kill -STOP "${tracker_pids[stalled]}"
  local status=0
  PELMORA_TEST_COM_PORT=$com_port PELMORA_TEST_STALLED=1 \
    timeout 120 "$wine" "$out/tests/link/pelmora_win32_serial_port_test.exe" --gtest_filter='*Stalled*' \
    >"$e2e/stalled-test.log" 2>&1 || status=$?
  kill -CONT "${tracker_pids[stalled]}"
  stop_tracker stalled
  sed -n '/^\[  \(PASSED\|FAILED\|SKIPPED\) \]/p' "$e2e/stalled-test.log"
  if [ "$status" -eq 0 ] && grep -q '^\[  PASSED  \] 1 test' "$e2e/stalled-test.log"; then
    pass "Win32 serial port on COM$com_port: a write the stalled line cannot take fails"
  else
    cat "$e2e/stalled-test.log"
    fail "Win32 serial port on COM$com_port, stalled line (exit $status)"
  fi
}

# byte_values FILE OFFSET COUNT: those bytes of FILE in decimal, "45 0 0 0".
byte_values() { od -An -tu1 -j"$2" -N"$3" "$1" | xargs; }

# cli_check WHAT STATUS CHECK...: passes WHAT when the program's exit status
# STATUS is 0 and every CHECK (a shell command) holds; otherwise fails it
# with the program's output and the check that did not hold.
cli_check() {
  local what=$1 status=$2 check
  shift 2
  if [ "$status" -ne 0 ]; then
    fail "$what: exit status $status"
    cat "$e2e/cli.out" "$e2e/cli.err"
    return
  fi
  for check in "$@"; do
    if ! eval "$check"; then
      fail "$what: not so: $check"
      cat "$e2e/cli.out" "$e2e/cli.err"
      return
    fi
  done
  pass "$what"
}

# pelmora-cli.exe under Wine against simulated trackers, as the Linux
# end-to-end test (tests/cli/cli_test.cpp) runs it: one profile field,
# SmsReportInterval (30 in the Basic demo image), at byte 20 of the Basic
# image and byte 88 of the Extended one, four bytes little-endian. A write
# changes that field's bytes and no other byte of a Basic image.
cli_end_to_end() {
  local cli=$out/cli/pelmora-cli.exe status
  if [ ! -f "$cli" ]; then
    fail "pelmora-cli.exe was not built"
    return
  fi
  # File names relative to $e2e: Wine starts the program there (as Z:\...),
  # as a technician runs it in the folder that holds the profiles.
  run_cli() { (cd "$e2e" && timeout 120 "$wine" "$cli" "$@" >"$e2e/cli.out" 2>"$e2e/cli.err"); }
  mkdir -p "$e2e"
  rm -f "$e2e"/read.json "$e2e"/read.pelmora-image "$e2e"/*.bin "$e2e"/report.jsonl
  printf '{"pelmora-settings": 1, "fields": {"SmsReportInterval": 45}}\n' >"$e2e/profile.json"
  printf '{"pelmora-settings": 1, "fields": {"SmsReportInterval": 50}}\n' >"$e2e/fleet.json"

  # The COM ports Windows lists (Wine lists COM1 to COM101 and beyond):
  # those in range, the machine's own ttyS0 behind COM101 never among them.
  status=0
  run_cli ports || status=$?
  cli_check "pelmora-cli.exe ports" "$status" \
    "grep -q '^COM$com_port: ' '$e2e/cli.out'" \
    "grep -q '^COM99: ' '$e2e/cli.out'" \
    "! grep -q '^COM101' '$e2e/cli.out'"

  start_tracker cli-read "$com_port" --image basic --save-writes "$e2e/read-written.bin"
  status=0
  run_cli read "COM$com_port" -o read.json || status=$?
  [ "$status" -ne 0 ] || run_cli read "COM$com_port" -o read.pelmora-image || status=$?
  stop_tracker cli-read
  cli_check "pelmora-cli.exe read COM$com_port -o read.json, -o read.pelmora-image" "$status" \
    "grep -q '\"layout\": \"Basic\"' '$e2e/read.json'" \
    "grep -q '\"SmsReportInterval\": 30' '$e2e/read.json'" \
    "[ \"\$(byte_values '$e2e/read.pelmora-image' 20 4)\" = '30 0 0 0' ]" \
    "expect_seen cli-read '2 handshakes, 2 reads, 0 writes'" \
    "[ ! -e '$e2e/read-written.bin' ]"

  start_tracker cli-write "$com_port" --image basic --save-writes "$e2e/write-written.bin"
  status=0
  run_cli write "COM$com_port" profile.json || status=$?
  stop_tracker cli-write
  cli_check "pelmora-cli.exe write COM$com_port profile.json" "$status" \
    "grep -q 'SmsReportInterval (Sms Track, SMS Report Interval): 30 min -> 45 min' '$e2e/cli.out'" \
    "grep -q '1 field changed  verified' '$e2e/cli.out'" \
    "[ \"\$(byte_values '$e2e/write-written.bin' 20 4)\" = '45 0 0 0' ]" \
    "[ \"\$(cmp -l '$e2e/read.pelmora-image' '$e2e/write-written.bin' | awk '{ print \$1 - 1 }' | xargs)\" = 20 ]" \
    "expect_seen cli-write '1 handshakes, 2 reads, 1 writes'"

  start_tracker cli-basic "$com_port" --image basic --save-writes "$e2e/basic-written.bin"
  start_tracker cli-extended "$second_com" --image extended --save-writes "$e2e/extended-written.bin"
  status=0
  run_cli apply fleet.json "COM$com_port" "COM$second_com" --report report.jsonl || status=$?
  stop_trackers
  cli_check "pelmora-cli.exe apply fleet.json COM$com_port COM$second_com" "$status" \
    "[ \"\$(grep -c '\"verified\":true' '$e2e/report.jsonl')\" = 2 ]" \
    "grep -q '\"port\":\"COM$second_com\"' '$e2e/report.jsonl'" \
    "[ \"\$(byte_values '$e2e/basic-written.bin' 20 4)\" = '50 0 0 0' ]" \
    "[ \"\$(byte_values '$e2e/extended-written.bin' 88 4)\" = '50 0 0 0' ]" \
    "expect_seen cli-basic '1 handshakes, 2 reads, 1 writes'" \
    "expect_seen cli-extended '1 handshakes, 2 reads, 1 writes'"
}

# ---- The window, end to end and in pictures -----------------------------------

# pelmora.exe --self-test --port COM$com_port on the display, against a
# simulated tracker behind that port: Scan Ports, Read Settings, SMS Report
# Interval (30 in the Basic demo image) set to 45, Write Settings, verified
# by the window's read-back. The tracker's record must be the image that
# pelmora-cli.exe read from such a tracker beforehand with only that field's
# bytes, at byte 20, changed.
window_end_to_end() {
  local window=$out/app/win32/pelmora.exe cli=$out/cli/pelmora-cli.exe status=0
  if [ -z "${DISPLAY:-}" ]; then
    skip "pelmora.exe on COM$com_port end to end" "no display"
    return
  fi
  if [ ! -f "$window" ] || [ ! -f "$cli" ]; then
    fail "pelmora.exe on COM$com_port end to end: pelmora.exe or pelmora-cli.exe was not built"
    return
  fi
  mkdir -p "$e2e"
  rm -f "$e2e"/window-read.pelmora-image "$e2e"/window-written.bin
  # The image as read, by the other program: the truth the write is held to.
  start_tracker window-truth "$com_port" --image basic
  (cd "$e2e" && timeout 120 "$wine" "$cli" read "COM$com_port" -o window-read.pelmora-image \
    >"$e2e/cli.out" 2>"$e2e/cli.err") || status=$?
  stop_tracker window-truth
  if [ "$status" -ne 0 ] || [ ! -s "$e2e/window-read.pelmora-image" ]; then
    cat "$e2e/cli.out" "$e2e/cli.err"
    fail "pelmora.exe on COM$com_port end to end: pelmora-cli.exe could not read the image first (exit $status)"
    return
  fi

  start_tracker window "$com_port" --image basic --save-writes "$e2e/window-written.bin"
  timeout 300 "$wine" "$window" --self-test --port "COM$com_port" >"$e2e/window.out" 2>&1 || status=$?
  stop_tracker window
  tr -d '\r' <"$e2e/window.out" | grep '^self-test:' || true
  local check checks=(
    "grep -q '^self-test: passed' '$e2e/window.out'"
    "[ \"\$(byte_values '$e2e/window-written.bin' 20 4)\" = '45 0 0 0' ]"
    "[ \"\$(cmp -l '$e2e/window-read.pelmora-image' '$e2e/window-written.bin' | awk '{ print \$1 - 1 }' | xargs)\" = '20' ]"
    "[ \"\$(stat -c %s '$e2e/window-read.pelmora-image')\" = \"\$(stat -c %s '$e2e/window-written.bin')\" ]"
    "grep -q '^seen: .* 1 writes' '$e2e/window.log'"
  )
  if [ "$status" -ne 0 ]; then
    cat "$e2e/window.out"
    fail "pelmora.exe --self-test --port COM$com_port: exit status $status"
    return
  fi
  for check in "${checks[@]}"; do
    if ! eval "$check"; then
      cat "$e2e/window.out" "$e2e/window.log"
      fail "pelmora.exe --self-test --port COM$com_port: not so: $check"
      return
    fi
  done
  pass "pelmora.exe on COM$com_port: scan, read, SMS Report Interval 30 -> 45, write; the tracker got the read image with only that field changed"
}

# The window's language comes from [General] Language of the user's settings
# file; the prefix's own file, if it has one, is put back afterwards.
settings_file_in_prefix() {
  local appdata
  appdata=$("$wine" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
  echo "$("$wine" winepath -u "$appdata" 2>/dev/null | tr -d '\r')/KVL/COMM.conf"
}

# The window's pages, as their pictures are named.
window_pages=(sms-track key-binding apn agps transport misc)

# pelmora.exe --screenshots in English and in Russian into build-win/screenshots:
# one PNG a tab and language, each written (not compared: the committed
# pictures in docs/ are made the same way, by hand, when the window changes).
window_screenshots() {
  local window=$out/app/win32/pelmora.exe shots=$out/screenshots conf kept="" language status
  if [ -z "${DISPLAY:-}" ]; then
    skip "pelmora.exe --screenshots" "no display"
    return
  fi
  if [ ! -f "$window" ]; then
    fail "pelmora.exe --screenshots: pelmora.exe was not built"
    return
  fi
  rm -rf "$shots"
  mkdir -p "$shots"
  conf=$(settings_file_in_prefix)
  mkdir -p "$(dirname "$conf")"
  [ -f "$conf" ] && { kept=$conf.kept; mv "$conf" "$kept"; }
  for language in en ru; do
    printf '[General]\r\nLanguage=%s\r\n' "$language" >"$conf"
    status=0
    (cd "$out" && timeout 300 "$wine" "$window" --screenshots screenshots >"$out/screenshots-$language.log" 2>&1) ||
      status=$?
    local page picture suffix="" missing=()
    [ "$language" = en ] || suffix=-$language
    for page in "${window_pages[@]}"; do
      picture=$shots/win32-tab-$page$suffix.png
      [ -f "$picture" ] && [ "$(byte_values "$picture" 0 8)" = '137 80 78 71 13 10 26 10' ] ||
        missing+=("$(basename "$picture")")
    done
    if [ "$status" -eq 0 ] && [ ${#missing[@]} -eq 0 ]; then
      pass "pelmora.exe --screenshots in $language: ${#window_pages[@]} PNGs written"
    else
      cat "$out/screenshots-$language.log"
      fail "pelmora.exe --screenshots in $language (exit $status; not written: ${missing[*]:-none})"
    fi
  done
  rm -f "$conf"
  [ -n "$kept" ] && mv "$kept" "$conf"
  return 0
}

# ---- The download ------------------------------------------------------------

windows_programs=(app/win32/pelmora.exe cli/pelmora-cli.exe)

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
  stage_dir=$stage
  echo "$out/$name.zip:"
  unzip -l "$out/$name.zip" | sed -n '4,$p'
  pass "Windows zip $name.zip"
}

# ---- The installer -------------------------------------------------------------

stage_dir=""

# Built from the zip's folder; installed silently under Wine, checked, and
# uninstalled silently: nothing of it may stay behind.
installer() {
  if ! command -v makensis >/dev/null; then
    skip "Windows installer" "makensis is not installed (Debian package nsis)"
    return
  fi
  if [ -z "$stage_dir" ] || [ ! -f "$stage_dir/pelmora.exe" ]; then
    fail "Windows installer: the programs were not staged"
    return
  fi
  local version setup log=$out/installer.log
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$out/CMakeCache.txt")
  setup=$out/pelmora-$version-windows-x64-setup.exe
  rm -f "$setup"
  if ! makensis -V2 -DVERSION="$version" -DSTAGE="$stage_dir" -DICON="$out/app/win32/pelmora.ico" \
      -DOUTFILE="$setup" "$root/packaging/windows/pelmora.nsi" >"$log" 2>&1; then
    cat "$log"
    fail "Windows installer: makensis"
    return
  fi
  pass "Windows installer $(basename "$setup")"

  local drive=$WINEPREFIX/drive_c folder="$WINEPREFIX/drive_c/Program Files/Pelmora"
  local shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Pelmora.lnk"
  local key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pelmora'
  rm -rf "$folder"
  timeout 120 "$wine" "$setup" /S >>"$log" 2>&1 || true
  local version_line
  version_line=$(timeout 60 "$wine" "$folder/pelmora.exe" --version 2>/dev/null | tr -d '\r' || true)
  if [ -f "$folder/pelmora.exe" ] && [ -f "$folder/pelmora-cli.exe" ] && [ -f "$folder/uninstall.exe" ] &&
      [ -f "$folder/licenses/gcc-runtime.txt" ] && [ -f "$shortcut" ] &&
      "$wine" reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$version" &&
      [ "$version_line" = "pelmora $version" ]; then
    pass "silent install under Wine: programs, Start-menu entry, uninstall entry"
  else
    ls -lR "$folder" 2>&1 | head -20
    fail "silent install under Wine"
    return
  fi

  # The uninstaller copies itself away and returns at once: wait for its work.
  timeout 120 "$wine" "$folder/uninstall.exe" /S >>"$log" 2>&1 || true
  for _ in $(seq 300); do
    [ -e "$folder" ] || [ -e "$shortcut" ] || break
    sleep 0.1
  done
  if [ ! -e "$folder" ] && [ ! -e "$shortcut" ] && ! "$wine" reg query "$key" >/dev/null 2>&1; then
    pass "silent uninstall under Wine leaves nothing behind"
  else
    ls -lR "$folder" 2>&1 | head -20
    fail "silent uninstall under Wine"
  fi
}

cleanup() {
  stop_trackers
  [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null || true
  # Our prefix's server only; it would linger a few seconds otherwise.
  [ -d "$WINEPREFIX" ] && WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
}

main() {
  trap cleanup EXIT
  [ "${1:-}" = "--no-install" ] || phase "install" install_tools
  phase "cross build" build
  phase "display" start_display
  phase "Wine prefix" make_prefix
  phase "core tests under Wine" core_tests
  phase "Win32 serial port end to end" serial_port_end_to_end
  phase "Win32 serial port, stalled line" stalled_line
  phase "pelmora-cli end to end" cli_end_to_end
  phase "pelmora.exe end to end" window_end_to_end
  phase "pelmora.exe screenshots" window_screenshots
  phase "zip" package
  phase "installer" installer
  for f in "${failures[@]}"; do echo "failed: $f"; done
  echo "windows: $passed passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ]
}

main "$@"

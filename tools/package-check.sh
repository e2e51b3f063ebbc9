#!/usr/bin/env bash
# Builds the Debian package in its own build folder (Release, Debian's
# hardening flags, no tests or benchmarks), checks it with lintian,
# desktop-file-validate and appstreamcli, installs it, runs the installed
# programs and removes it again, leaving nothing of it in /usr.
# Needs root or sudo rights for apt-get. Each step is timed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${PELMORA_PACKAGE_BUILD_DIR:-build-package}
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

. tools/ci-step.sh

install_tools() {
  ./tools/install-deps.sh
  local tools=(dpkg-dev file lintian desktop-file-utils appstream scdoc librsvg2-bin) missing=()
  for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  $sudo apt-get -o Dpkg::Use-Pty=0 update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o Dpkg::Use-Pty=0 install -y -qq "${missing[@]}"
}

build_package() {
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DPELMORA_WITH_BENCH=OFF \
        -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
        -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" > /dev/null
  nice cmake --build "$build"
  rm -f "$build"/pelmora_*.deb
  (cd "$build" && cpack -G DEB > /dev/null)
  deb=$(realpath "$build"/pelmora_*.deb)
  echo "$deb"
  dpkg-deb --field "$deb"
  dpkg-deb --contents "$deb" | awk '$6 !~ /\/$/ {print $6}'
}

check_package() {
  # Errors fail the run; warnings and the rest are printed for the record.
  lintian --fail-on error --display-level ">=pedantic" "$deb"
  local tree
  tree=$(mktemp -d)
  dpkg-deb --extract "$deb" "$tree"
  desktop-file-validate "$tree"/usr/share/applications/*.desktop
  appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml
  local manual
  for manual in pelmora $( [ -e "$tree/usr/bin/pelmora-cli" ] && echo pelmora-cli ); do
    [ -s "$tree/usr/share/man/man1/$manual.1.gz" ] || { echo "no man page for $manual"; return 1; }
  done
  rm -rf "$tree"
}

install_and_run() {
  dpkg-query -W -f='${Status}' pelmora 2>/dev/null | grep -q "install ok installed" && $sudo apt-get -o Dpkg::Use-Pty=0 remove -y -qq pelmora
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o Dpkg::Use-Pty=0 install -y -qq "$deb"
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen /usr/bin/pelmora --version
  if [ -e /usr/bin/pelmora-cli ]; then /usr/bin/pelmora-cli --version; fi
}

remove_cleanly() {
  local files
  files=$(dpkg -L pelmora | while read -r f; do [ -d "$f" ] || echo "$f"; done)
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -o Dpkg::Use-Pty=0 remove -y -qq pelmora
  if dpkg-query -W -f='${Status}' pelmora 2>/dev/null | grep -q "installed"; then
    echo "pelmora is still installed"; return 1
  fi
  local left=0 f
  for f in $files /usr/share/doc/pelmora; do
    if [ -e "$f" ]; then echo "left behind: $f"; left=1; fi
  done
  return $left
}

total=$SECONDS
deb=""
step "Tools for building and checking the package" install_tools
step "Build the package in $build" build_package
deb=$(realpath "$build"/pelmora_*.deb)
step "lintian, desktop-file-validate, appstreamcli" check_package
step "Install it and run the installed programs" install_and_run
step "Remove it: nothing of it left in /usr" remove_cleanly
echo
echo "package-check: all passed in $((SECONDS - total)) s"

#!/usr/bin/env bash
# Installs the Debian 12 packages Pelmora needs to build, test and run,
# skipping the ones already there.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev googletest
          libbenchmark-dev qt6-base-dev qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
          fonts-liberation2 fonts-dejavu-core
          clang-14 libclang-rt-14-dev
          libudev-dev umockdev libumockdev-dev
          librsvg2-bin scdoc
          libcli11-dev nlohmann-json3-dev libssl-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"

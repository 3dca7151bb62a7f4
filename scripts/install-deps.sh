#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run and test Quenor PC.
# Only packages that are missing are installed, so a second run is quick.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-5compat-dev
  qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
  qt6-qpa-plugins libgl-dev
  sqlite3
  xvfb xauth imagemagick fonts-dejavu-core
  python3-mutagen python3-mido
  clang libclang-rt-14-dev
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"

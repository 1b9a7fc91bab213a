#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the board need, when any is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-wayland
    libzinnia-dev zinnia-utils tegaki-zinnia-japanese
    fonts-ipafont-mincho fonts-ipafont-gothic
    edict kanjidic
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

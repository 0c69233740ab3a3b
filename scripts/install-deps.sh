#!/bin/bash
# Installs everything Corvant needs to build, run and test, from Debian's
# packages. Run as root or as a user who may use sudo.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-webengine-dev libgl-dev
  libpng-dev libjpeg-dev libgif-dev
  libsdl2-mixer-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

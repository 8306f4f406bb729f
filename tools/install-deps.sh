#!/usr/bin/env bash
# Installs the Debian packages that building and testing VantrelStudio needs.
# Idempotent: does nothing when every package is present. Runs as root (no
# sudo needed) or through sudo when started by another user.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config zip
  libwxgtk3.2-dev libusb-1.0-0-dev
  googletest libgtest-dev libgmock-dev
  umockdev libumockdev-dev xvfb xauth x11-apps imagemagick libxtst-dev openbox
  clang libclang-rt-14-dev
  desktop-file-utils appstream udev usbutils x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"

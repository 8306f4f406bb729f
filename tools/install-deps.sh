#!/usr/bin/env bash
# Installs the Debian packages that building and testing VantrelStudio needs.
# Idempotent: installs only missing packages, and generates the de_DE.UTF-8
# locale only when it is missing. Runs as root (no sudo needed) or through
# sudo when started by another user.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config zip
  libwxgtk3.2-dev libusb-1.0-0-dev
  googletest libgtest-dev libgmock-dev
  umockdev libumockdev-dev xvfb xauth x11-apps imagemagick libxtst-dev openbox
  clang libclang-rt-14-dev clang-format clang-tidy
  desktop-file-utils appstream udev usbutils x11-utils
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
else
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Some suites also run under a German locale (decimal comma, "." between
# thousands); minimal systems ship only C. Listed in /etc/locale.gen, so that
# a later locale-gen keeps it.
if locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  echo "install-deps: locale de_DE.UTF-8 present"
else
  echo "install-deps: generating locale de_DE.UTF-8"
  if grep -qs "^# *de_DE\.UTF-8 UTF-8" /etc/locale.gen; then
    $SUDO sed -i "s/^# *\(de_DE\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  elif ! grep -qs "^de_DE\.UTF-8 UTF-8" /etc/locale.gen; then
    echo "de_DE.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen
fi

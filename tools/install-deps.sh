#!/usr/bin/env bash
# Installs the Debian packages that building and testing VantrelStudio needs.
# Idempotent: installs only missing packages, and generates the de_DE, it_IT,
# fr_FR and es_ES UTF-8 locales only when they are missing. Runs as root (no sudo needed) or through
# sudo when started by another user.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config zip
  libwxgtk3.2-dev wx3.2-i18n gettext libusb-1.0-0-dev
  libgtk-3-dev  # the live bench times the toolkit's drawing
  googletest libgtest-dev libgmock-dev
  umockdev libumockdev-dev xvfb xauth x11-apps imagemagick libxtst-dev openbox
  clang libclang-rt-14-dev clang-format clang-tidy
  desktop-file-utils appstream udev usbutils x11-utils
  locales
  gdb  # where a stuck GUI test stood
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
# thousands) and the translations are tested under each language's locale;
# minimal systems ship only C. Listed in /etc/locale.gen, so that a later
# locale-gen keeps them.
wanted=(de_DE it_IT fr_FR es_ES)
generate=0
for name in "${wanted[@]}"; do
  if locale -a 2>/dev/null | grep -qix "${name}\.utf-\?8"; then
    echo "install-deps: locale ${name}.UTF-8 present"
    continue
  fi
  echo "install-deps: generating locale ${name}.UTF-8"
  if grep -qs "^# *${name}\.UTF-8 UTF-8" /etc/locale.gen; then
    $SUDO sed -i "s/^# *\(${name}\.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  elif ! grep -qs "^${name}\.UTF-8 UTF-8" /etc/locale.gen; then
    echo "${name}.UTF-8 UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  generate=1
done
if [ "$generate" -eq 1 ]; then
  $SUDO locale-gen
fi

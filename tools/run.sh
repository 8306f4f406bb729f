#!/usr/bin/env bash
# Builds VantrelStudio and starts it. Without a unit attached it opens on the
# simulated connection. Usage: tools/run.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DVANTREL_TESTS=OFF
cmake --build "$build" -j "$(nproc)" --target VantrelStudio
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "VantrelStudio needs a graphical display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
  echo "Run it from a desktop session, or under a virtual display: xvfb-run -a $0" >&2
  exit 1
fi
cd "$build/gui"
exec ./VantrelStudio

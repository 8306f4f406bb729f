#!/usr/bin/env bash
# Builds VantrelStudio and starts it. Without a unit attached it opens on the
# simulated connection. Usage: tools/run.sh [build-dir]
# Builds only the program; the test settings of an existing build folder stay as
# they are, so tools/test.sh and this script can follow each other in any order.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"

"$root/tools/install-deps.sh"
generator=()
if [ ! -f "$build/CMakeCache.txt" ]; then generator=(-G Ninja); fi
cmake -S "$root" -B "$build" "${generator[@]}"
cmake --build "$build" -j "$(nproc)" --target VantrelStudio
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "VantrelStudio needs a graphical display, and none is set (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
  echo "Run it from a desktop session, or under a virtual display: xvfb-run -a $0" >&2
  exit 1
fi
cd "$build/gui"
exec ./VantrelStudio

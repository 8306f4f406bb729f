#!/usr/bin/env bash
# Builds VantrelStudio and runs every test. Usage: tools/test.sh [build-dir] [extra cmake args...]
# USB tests run under umockdev-wrapper and GUI tests under xvfb-run; ctest applies both.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true

"$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja "$@"
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

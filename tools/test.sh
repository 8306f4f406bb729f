#!/usr/bin/env bash
# Builds VantrelStudio with its tests and runs every test. Usage: tools/test.sh [build-dir] [extra cmake args...]
# USB tests run under umockdev-wrapper and GUI tests under xvfb-run; ctest applies both.
# Whatever an earlier command left in the build folder (tools/run.sh builds only the
# program), the tests are switched on and built, and a run in which no test is found fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
shift || true

"$root/tools/install-deps.sh"
generator=()
if [ ! -f "$build/CMakeCache.txt" ]; then generator=(-G Ninja); fi
cmake -S "$root" -B "$build" "${generator[@]}" -DVANTREL_TESTS=ON "$@"
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)"

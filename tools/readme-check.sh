#!/usr/bin/env bash
# Runs the README's two commands the way a newcomer does, in a fresh clone of
# this repository's HEAD: tools/run.sh without a display (it must say so and
# fail), tools/run.sh on a virtual display (the main window must appear),
# tools/test.sh (it must build the tests that run.sh left out and pass them,
# with at least one test run), then tools/run.sh once more (the program must
# still build and start after the tests). Usage: tools/readme-check.sh [work-dir]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
work="${1:-$(mktemp -d)}"
title="Norvane Labs - Vantrel"
clone="$work/clone"

rm -rf "$clone"
git clone -q "$root" "$clone"
cd "$clone"

# Starts tools/run.sh on a virtual display and waits until the main window is
# mapped; then closes the program. Fails when the script ends first or the
# window does not come within the time (the build is part of it).
run_until_window() {
  xvfb-run -a -s "-screen 0 1600x1200x24" bash -c '
    title=$1; log=$2
    tools/run.sh >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 1 1800); do
      if xwininfo -root -tree 2>/dev/null | grep -q "\"$title"; then
        kill "$pid"; wait "$pid" 2>/dev/null || true
        exit 0
      fi
      kill -0 "$pid" 2>/dev/null || { echo "tools/run.sh ended before its window appeared:" >&2; tail -30 "$log" >&2; exit 1; }
      sleep 1
    done
    kill "$pid"; echo "no window \"$title\" within 30 minutes" >&2; exit 1' _ "$title" "$1"
}

echo "== tools/run.sh without a display"
set +e
env -u DISPLAY -u WAYLAND_DISPLAY tools/run.sh >"$work/run-nodisplay.log" 2>&1
status=$?
set -e
if [ "$status" -ne 1 ] || ! grep -q "needs a graphical display" "$work/run-nodisplay.log"; then
  echo "tools/run.sh without a display should say so and exit 1 (exit $status):" >&2
  tail -30 "$work/run-nodisplay.log" >&2
  exit 1
fi

echo "== xvfb-run tools/run.sh"
run_until_window "$work/run-1.log"

echo "== tools/test.sh after tools/run.sh"
tools/test.sh 2>&1 | tee "$work/test.log"
if ! grep -Eq '^100% tests passed, 0 tests failed out of [1-9]' "$work/test.log"; then
  echo "tools/test.sh did not report a passing run of at least one test" >&2
  exit 1
fi

echo "== xvfb-run tools/run.sh after tools/test.sh"
run_until_window "$work/run-2.log"

echo "== README commands passed in $clone"

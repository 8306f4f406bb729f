#!/usr/bin/env bash
# Runs a command in a virtual X session the way xvfb-run does, with the
# Openbox window manager running in that session, so that windows can be
# maximised and get the keyboard focus.
#
#   xvfb-run-wm.sh OPENBOX XVFB_RUN [xvfb-run options] COMMAND [ARGUMENTS]
#
# The exit status is the command's.
set -euo pipefail

if [ "${1:-}" = "--inside-session" ]; then
    openbox=$2
    shift 2
    # Openbox announces itself on the root window once it manages windows.
    # It was once seen to end at once in CI without a word kept: what it
    # says goes to a file, shown when it fails; it gets three tries.
    wm_log=$(mktemp)
    trap 'rm -f "$wm_log"' EXIT
    for attempt in 1 2 3; do
        "$openbox" --sm-disable >"$wm_log" 2>&1 &
        wm=$!
        tries=0
        until [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]]; do
            tries=$((tries + 1))
            if [ "$tries" -gt 100 ] || ! kill -0 "$wm" 2>/dev/null; then
                echo "xvfb-run-wm: the window manager did not start (try $attempt of 3):" >&2
                cat "$wm_log" >&2
                kill "$wm" 2>/dev/null || true
                wait "$wm" 2>/dev/null || true
                wm=
                break
            fi
            sleep 0.1
        done
        [ -n "$wm" ] && break
    done
    [ -n "$wm" ] || exit 1
    status=0
    "$@" || status=$?
    kill "$wm" 2>/dev/null || true
    wait "$wm" 2>/dev/null || true
    exit "$status"
fi

openbox=$1
xvfb_run=$2
shift 2
# xvfb-run's own options come first; the command starts at the first word
# that is none of them.
options=()
while [ $# -gt 0 ]; do
    case "$1" in
    -e | -f | -n | -p | -s | -w)
        options+=("$1" "$2")
        shift 2
        ;;
    -*)
        options+=("$1")
        shift
        ;;
    *) break ;;
    esac
done
exec "$xvfb_run" "${options[@]}" "$0" --inside-session "$openbox" "$@"

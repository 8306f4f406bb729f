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
    "$openbox" --sm-disable >/dev/null 2>&1 &
    wm=$!
    # Openbox announces itself on the root window once it manages windows.
    tries=0
    until [[ "$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null)" == *"window id"* ]]; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ] || ! kill -0 "$wm" 2>/dev/null; then
            echo "xvfb-run-wm: the window manager did not start" >&2
            kill "$wm" 2>/dev/null || true
            exit 1
        fi
        sleep 0.1
    done
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

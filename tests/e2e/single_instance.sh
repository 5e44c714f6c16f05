#!/usr/bin/env bash
# A second Setup.exe ends with exit code 0 without creating any window while the
# first keeps running; the first then closes normally with exit code 0.
# usage: single_instance.sh WINE_RUN PREFIX SETUP_EXE WINTOOL_EXE
set -euo pipefail
wine_run=$1 prefix=$2 setup=$3 wintool=$4
source "$(dirname "$0")/../../scripts/lib/xdisplay.sh"
ensure_display
title="Qarto Private Browser Installer"
tool() { "$wine_run" "$prefix" "$wintool" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

"$wine_run" "$prefix" "$setup" &
first=$!
trap 'kill $first 2>/dev/null || true; [ -n "${QARTO_XVFB_PID:-}" ] && kill $QARTO_XVFB_PID 2>/dev/null || true' EXIT
tool wait-window "$title" 60 || fail "the first installer showed no window"

# Watch every window of the installer's class while the second one runs.
watch_out=$(mktemp)
tool watch-class QartoPlainWindow 20 >"$watch_out" &
watcher=$!
sleep 2
t0=$SECONDS
set +e
timeout 30 "$wine_run" "$prefix" "$setup"
second_rc=$?
set -e
took=$((SECONDS - t0))
wait $watcher
owners=$(tr -d '\r\n' <"$watch_out"); rm -f "$watch_out"

[ "$second_rc" -eq 0 ] || fail "second instance exit code $second_rc, expected 0"
[ "$took" -lt 15 ] || fail "second instance took ${took}s to end"
[ "$owners" = "1" ] || fail "windows of the installer were owned by $owners processes, expected 1"
kill -0 $first 2>/dev/null || fail "the first installer ended"
tool wait-window "$title" 1 || fail "the first installer's window is gone"

tool close "$title" || fail "could not ask the first installer to close"
set +e
wait $first
first_rc=$?
set -e
[ "$first_rc" -eq 0 ] || fail "first instance exit code $first_rc after closing, expected 0"
echo "second instance ended with 0 in ${took}s without a window; first closed with 0"

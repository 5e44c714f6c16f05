#!/usr/bin/env bash
# Setup.exe starts, installs its font from its own resources and shows its window;
# a second Setup.exe ends with exit code 0 without creating any window while the
# first keeps running; the first then closes normally with exit code 0.
# usage: single_instance.sh WINE_RUN SETUP_EXE WINTOOL_EXE MAX_SECONDS
# WINE_RUN is <tree>/wine-run; MAX_SECONDS bounds the second instance's run (a 32-bit
# program's start may be emulated: about a minute).
set -euo pipefail
wine_run=$1 setup=$2 wintool=$3 max_second=$4
source "$(dirname "$0")/../../scripts/lib/xdisplay.sh"
ensure_display
title="Qarto Private Browser Installer"
tool() { "$wine_run" "$wintool" "$@"; }
fail() { echo "FAIL: $*" >&2; exit 1; }

# The installer asks the product API at start-up: a closed local port answers at
# once. An address, not a host name: curl resolves names on a thread of its own, and
# where 32-bit code is emulated (qemu-user) a second thread of 32-bit Wine crashes in
# its first system call, so a name would end this smoke test for the emulator's sake.
"$wine_run" reg add 'HKLM\SOFTWARE\Qarto Private Browser\InstallerDev' /v ApiHost /t REG_SZ \
  /d http://127.0.0.1:9 /reg:32 /f >/dev/null

"$wine_run" "$setup" &
first=$!
trap 'kill $first 2>/dev/null || true; [ -n "${QARTO_XVFB_PID:-}" ] && kill $QARTO_XVFB_PID 2>/dev/null || true' EXIT
# Where 32-bit code is emulated the 32-bit program needs about a minute to start.
tool wait-window "$title" 240 || fail "the first installer showed no window"
font_size=$(tool file-size '%TEMP%\InstallerFonts\Roboto_Regular.ttf' | tr -d '\r') ||
  fail "the installer did not write its font from its resources"
[ "$font_size" -gt 100000 ] || fail "the font written from the resources has only $font_size bytes"

# Watch every window of the installer's class while the second one runs.
watch_out=$(mktemp)
# Started directly, not through `tool`, so that $! is the Windows process itself.
"$wine_run" "$wintool" watch-class QartoForm $((max_second + 10)) >"$watch_out" &
watcher=$!
sleep 2
t0=$SECONDS
set +e
timeout 300 "$wine_run" "$setup"
second_rc=$?
set -e
took=$((SECONDS - t0))
sleep 1
kill $watcher 2>/dev/null || true
wait $watcher 2>/dev/null || true
owners=$(tr -d '\r' <"$watch_out" | tail -n 1); rm -f "$watch_out"

[ "$second_rc" -eq 0 ] || fail "second instance exit code $second_rc, expected 0"
[ "$took" -lt "$max_second" ] || fail "second instance took ${took}s to end"
[ "$owners" = "1" ] || fail "windows of the installer were owned by $owners processes, expected 1"
kill -0 $first 2>/dev/null || fail "the first installer ended"
tool wait-window "$title" 1 || fail "the first installer's window is gone"

tool close "$title" || fail "could not ask the first installer to close"
# Bounded: an installer that does not end after its close says so.
for _ in $(seq "$max_second"); do kill -0 $first 2>/dev/null || break; sleep 1; done
kill -0 $first 2>/dev/null && fail "the first installer did not end within ${max_second}s of being asked to close"
set +e
wait $first
first_rc=$?
set -e
[ "$first_rc" -eq 0 ] || fail "first instance exit code $first_rc after closing, expected 0"
echo "second instance ended with 0 in ${took}s without a window; first closed with 0"

#!/usr/bin/env bash
# On a 32-bit-only Windows (no WOW64) the 32-bit Setup.exe refuses to run: the system
# notice (344 x 172, stay-on-top) with its message and no main window; a real click
# on its OK button ends the installer with exit code 0, before any page or language
# was set up. The Windows version is Wine's default (10), so only the missing
# 64-bit side is refused. Screenshot in OUT/window-refusal-no-wow64.png.
# usage: window_no_wow64.sh WINE_RUN SETUP_EXE OUT
# WINE_RUN is the 32-bit tree's wine-run; the test's prefix, a WINEARCH=win32 one
# from scripts/lib/wine-prefix-win32, is <tree>/wineprefix-win32 (the tree's own
# prefix is a 64-bit Windows). Exits with 77 (skipped) where 32-bit Wine does not run.
set -euo pipefail
wine_run=$1 setup=$2 out=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
SETUP_PREFIX=$(cd "$(dirname "$wine_run")" && pwd)/wineprefix-win32
# Every process of a 32-bit-only prefix is 32-bit Wine, its system services too.
# Where 32-bit code runs through qemu-user such a prefix does not come up: its
# multi-threaded services crash in the emulator (SIGSEGV) or spin, and wineboot waits
# for them for good (seen: winedevice.exe at 160-190 % CPU for over 30 minutes, and
# "qemu: uncaught target signal 11" during wineboot). A WOW64 prefix is unaffected:
# its services are 64-bit. The refusal itself is a rule the host tests cover
# (StartupChecks); here it runs where 32-bit code is native.
if [ -z "${QARTO_32BIT_CODE:-}" ]; then
  source "$(dirname "$0")/../../scripts/lib/i386.sh"
  QARTO_32BIT_CODE=native
  i386_emulator_registered && QARTO_32BIT_CODE=emulated
fi
if [ "$QARTO_32BIT_CODE" = emulated ]; then
  echo "SKIPPED: 32-bit code is emulated here (qemu-user), where a 32-bit-only Wine prefix does not come up"
  exit 77
fi
# The first time for this Wine version the template is made (bounded: see
# wine-prefix-win32).
prefix_rc=0
"$repo/scripts/lib/wine-prefix-win32" "$SETUP_PREFIX" || prefix_rc=$?
if [ "$prefix_rc" -eq 77 ]; then
  echo "SKIPPED: 32-bit Wine does not run on this machine"
  exit 77
fi
[ "$prefix_rc" -eq 0 ] || { echo "FAIL: no 32-bit-only prefix in $SETUP_PREFIX" >&2; exit 1; }
source "$(dirname "$0")/window_lib.sh"
grep -qx '#arch=win32' "$SETUP_PREFIX/system.reg" || fail "$SETUP_PREFIX is not a 32-bit-only prefix"
[ ! -e "$SETUP_PREFIX/drive_c/windows/syswow64" ] || fail "$SETUP_PREFIX has a 64-bit side"
work=$(mktemp -d)
trap window_cleanup EXIT

# No deployment override of the API host is needed: the system is checked first of
# all in the start-up, before the product API is asked (whose host name would be
# resolved on a second thread, which 32-bit Wine under qemu-user does not survive).
t0=$SECONDS
start_setup "$work/setup.log"
# The prefix's own 32-bit system processes (wineboot, services, devices, the
# desktop) start with it: allow a busy machine two minutes.
refusal no-wow64 344x172 281 130 292x60+26+53 120 120
[ -z "$(traces "$work/setup.log")" ] ||
  fail "the start-up went on past the system check: $(traces "$work/setup.log" | tr '\n' '|')"
echo "refused on a 32-bit-only Windows in $((SECONDS - t0))s"

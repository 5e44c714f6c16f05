#!/usr/bin/env bash
# Start-up refusals of Setup.exe: the system notice (a 344 x 172 stay-on-top window,
# no main window) for the restricted region (Simplified Chinese, LC_ALL=zh_CN) and
# for Windows Vista (Wine's per-program version), or the disk notice for a system
# drive with less than 500 MiB free. Each notice is closed with a real click on its
# OK button; the installer then ends with exit code 0. Screenshots in OUT.
# usage: window_refusals.sh WINE_RUN SETUP_EXE WINTOOL_EXE OUT system|disk
# "disk" needs to mount a small tmpfs (root with CAP_SYS_ADMIN); without it the test
# exits with 77 (skipped).
set -euo pipefail
wine_run=$1 setup=$2 wintool=$3 out=$4 mode=$5
source "$(dirname "$0")/window_lib.sh"
work=$(mktemp -d)
small=
cleanup() {
  stop_setup
  "$wine_run" reg delete 'HKCU\Software\Wine\AppDefaults\Setup.exe' /f >/dev/null 2>&1 || true
  if [ -n "$small" ]; then
    WINEPREFIX=$SETUP_PREFIX wineserver -k 2>/dev/null || true
    umount "$small" 2>/dev/null || true
  fi
  rm -rf "$work"
  [ -n "${QARTO_XVFB_PID:-}" ] && kill "$QARTO_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

if [ "$mode" = system ]; then
  # The region: checked last in the start-up, after the language was chosen.
  LC_ALL=zh_CN.UTF-8 start_setup "$work/region.log"
  wait_trace "$work/region.log" '^FormCreate: 4$' 60
  # The system notice: 344 x 172, OK at (245, 114), 73 x 32.
  refusal region 344x172 281 130 292x60+26+53
  # 0x0804 maps to "ChineseSimp", which has no language file: the notice is English.
  traces "$work/region.log" | grep -qx '\*\*\*\*\*\*\*\*\*\* FLanguageName: ChineseSimp' ||
    fail "region: the start language is not ChineseSimp: $(traces "$work/region.log" | tr '\n' '|')"

  # Windows Vista: refused first of all, before any page or language.
  "$wine_run" reg add 'HKCU\Software\Wine\AppDefaults\Setup.exe' /v Version /d vista /f >/dev/null 2>&1
  start_setup "$work/vista.log"
  refusal vista 344x172 281 130 292x60+26+53
  [ -z "$(traces "$work/vista.log")" ] ||
    fail "vista: the start-up went on past the system check: $(traces "$work/vista.log" | tr '\n' '|')"
  "$wine_run" reg delete 'HKCU\Software\Wine\AppDefaults\Setup.exe' /f >/dev/null 2>&1
  # The two texts differ: the notices must not look alike.
  [ "$(differ "$out/window-refusal-region.png" "$out/window-refusal-vista.png")" -gt 200 ] ||
    fail "the region and system notices show the same picture"
  exit 0
fi

# A system drive with 300 MiB free: enough for the working folder (120 MiB), not
# for the installation (500 MiB). A prefix of its own whose drive C: is a small
# tmpfs holding links to the tree prefix's system folders.
mkdir -p "$work/c"
if ! mount -t tmpfs -o size=300m qarto-small-c "$work/c" 2>"$work/mount.err"; then
  echo "SKIPPED: cannot mount a small tmpfs for drive C: ($(cat "$work/mount.err"))"
  exit 77
fi
small=$work/c
SETUP_PREFIX=$work/prefix
mkdir -p "$SETUP_PREFIX/dosdevices"
cp -a "$prefix"/*.reg "$prefix/.update-timestamp" "$prefix/.qarto-ready" "$SETUP_PREFIX/"
ln -s "$small" "$SETUP_PREFIX/dosdevices/c:"
ln -s / "$SETUP_PREFIX/dosdevices/z:"
for entry in "$prefix"/drive_c/*; do
  case $(basename "$entry") in
    users | ProgramData) cp -a "$entry" "$small/" ;;  # written to: a copy
    *) ln -s "$entry" "$small/$(basename "$entry")" ;;
  esac
done
free_mib=$(($(stat -f -c '%a * %S' "$small") / 1048576))
[ "$free_mib" -lt 500 ] && [ "$free_mib" -gt 120 ] || fail "drive C: has $free_mib MiB free"
start_setup "$work/disk.log"
wait_trace "$work/disk.log" '^FormCreate: 3$' 60
# The notice: 324 x 152 at its designed place (0, 0), the main window not being
# shown yet; OK at (235, 104), 73 x 32.
refusal disk 324x152 271 120 255x72+61+22
! traces "$work/disk.log" | grep -q '^FormCreate: 4$' || fail "disk: the start-up went on after the disk check"
echo "disk: drive C: with $free_mib MiB free refused"

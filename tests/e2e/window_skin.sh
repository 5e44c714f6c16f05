#!/usr/bin/env bash
# The skin folder "InstallerSkin\" beside Setup.exe, read when the window is first
# shown: a "Color.ini" whose section "Public" holds only "Width" = 800 widens the
# window to 800 x 390, recentres "Install Now" and gives the licence line the
# default skin colour RGB(102, 115, 128) instead of the built-in RGB(113, 113, 146);
# a "quill_icon.png" (here plain red) replaces the title icon. Judged on the window's
# size and a screenshot (kept in OUT as window-skin.png).
# usage: window_skin.sh WINE_RUN SETUP_EXE WINTOOL_EXE OUT
set -euo pipefail
wine_run=$1 wintool=$3 out=$4
source "$(dirname "$0")/window_lib.sh"
work=$(mktemp -d)
trap window_cleanup EXIT

mkdir -p "$work/app/InstallerSkin"
cp "$2" "$work/app/Setup.exe"
setup=$work/app/Setup.exe
printf '[Public]\r\nWidth=800\r\n' >"$work/app/InstallerSkin/Color.ini"
convert -size 16x16 xc:'rgb(255,0,0)' "PNG32:$work/app/InstallerSkin/quill_icon.png"

start_setup "$work/skin.log"
wait_window 800x390 yes 60
wait_trace "$work/skin.log" '^FormCreate: 4$' 30
[ -z "$(window_like 640x390)" ] || fail "a 640 x 390 window is shown besides the 800 x 390 one"
sleep 1.5
win=$(window_like 800x390)
shot window-skin "$win"
shot=$out/window-skin.png

# The title icon (10, 10, 16 x 16) is the red picture.
red=$(pixels "$shot" 16x16+10+10 'r > 0.9 && g < 0.1 && b < 0.1')
[ "$red" -eq 256 ] || fail "the title icon has $red red pixels of 256"
# "Install Now" (189 x 50 at page top 201, the page at 40) centred in 800 pixels: the
# button's purple across its middle row.
read -r left right < <(convert "$shot" -crop 800x1+0+266 +repage txt:- |
  awk -F'[,:() ]+' 'NR > 1 && $5 > 180 && $3 < 140 { if (min == "") min = $1; max = $1 } END { print min, max }')
[ -n "$left" ] || fail "no purple button on the row of \"Install Now\""
centre=$(((left + right) / 2))
[ $((right - left)) -gt 150 ] && [ "$centre" -ge 397 ] && [ "$centre" -le 403 ] ||
  fail "\"Install Now\" spans $left..$right, not centred in 800 pixels"
# The licence line (page 308.., the page at 40) in RGB(102, 115, 128), no longer in
# the built-in colour.
near() { pixels "$shot" 800x60+0+330 "abs(r*255-$1) < 4 && abs(g*255-$2) < 4 && abs(b*255-$3) < 4"; }
skin_colour=$(near 102 115 128) builtin_colour=$(near 113 113 146)
[ "$skin_colour" -gt 40 ] && [ "$builtin_colour" -lt 5 ] ||
  fail "licence colours: $skin_colour pixels of RGB(102, 115, 128), $builtin_colour of RGB(113, 113, 146)"
tool close "$title" || fail "could not close the installer"
wait_exit 20
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing"
echo "skin folder: 800 x 390, red title icon, \"Install Now\" at $left..$right, licence in the skin colour"

#!/usr/bin/env bash
# The installer's pages in English under Wine, driven by real clicks, with a
# screenshot of each in OUT (window-page-*.png):
# - the options page ("Customize..."), and the cancel question that the close button
#   asks there: "No" keeps the installer, "Yes" ends it with exit code 0;
# - the theme page, opened with "/ThemePage" where the deployment override key has
#   "TestHooks" = "1": Light selected at first; the Dark preview selects Dark (its
#   frame and check box, the Light ones off); hovering the Light preview shows its
#   hover frame; the Light check box selects Light again; "Done" stores the choice as
#   "Main"/"Color" in the browser's "config.kvdt" and shows the finish page;
# - a second theme page closed with the close button stores the choice like "Done".
# usage: window_theme.sh WINE_RUN SETUP_EXE WINTOOL_EXE QTOOL_EXE OUT
set -euo pipefail
wine_run=$1 setup=$2 wintool=$3 qtool=$4 out=$5
source "$(dirname "$0")/window_lib.sh"
work=$(mktemp -d)
key='HKLM\SOFTWARE\Qarto Private Browser\InstallerDev'
cleanup() {
  stop_setup
  reg32 delete "$key" /v TestHooks /f || true
  rm -rf "$work"
  [ -n "${QARTO_XVFB_PID:-}" ] && kill "$QARTO_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
config() {
  local f
  for f in "$prefix"/drive_c/users/*/AppData/Local/"Qarto Private Browser"/"User Data"/Default/config.kvdt; do
    [ -f "$f" ] && echo "$f"
  done
}
stored_color() {
  local f
  f=$(config)
  [ -n "$f" ] || { echo "(no config.kvdt)"; return; }
  "$wine_run" "$qtool" kvdt-get "Z:${f//\//\\}" Main Color 2>/dev/null | tr -d '\r' | head -1
}
rm -f "$(config)" 2>/dev/null || true

# --- Options page and the cancel question ------------------------------------------------
log=$work/options.log
start_setup "$log"
wait_window 640x390 yes 60
wait_trace "$log" '^FormCreate: 4$' 30
main=$(window_like 640x390)
click "$main" 320 266  # "Customize..." (centred, 255 on the page)
wait_trace "$log" '^page: PageTab_InstallOption$' 10
sleep 0.5
shot window-page-options "$main"
click "$main" 620 15  # the close button
wait_window 324x152 yes 20
sleep 0.5
notice=$(window_like 324x152)
read -r _ _ nx ny <<<"$notice"
read -r _ _ mx my <<<"$main"
# Centred over the installer window.
[ "$nx" -eq $((mx + (640 - 324) / 2)) ] && [ "$ny" -eq $((my + (390 - 152) / 2)) ] ||
  fail "the cancel question is at $nx,$ny, not centred over the window at $mx,$my"
shot window-dialog-cancel "$notice"
click "$notice" 271 120  # "No" (235, 104)
wait_window 324x152 no 10
kill -0 "$setup_pid" || fail "No ended the installer"
click "$main" 620 15
wait_window 324x152 yes 20
click "$(window_like 324x152)" 190 120  # "Yes" (154, 104)
rc=$(wait_exit 20)
[ "$rc" -eq 0 ] || fail "exit code $rc after Yes, expected 0"
echo "options page, cancel question: No keeps, Yes ends with 0"

# --- The theme page --------------------------------------------------------------------
reg32 add "$key" /v TestHooks /d 1 /f || fail "could not allow the test hooks"
# On the window: previews at (140, 105) and (340, 105), 160 x 100; the check boxes'
# row at 215; "Done" at (226, 280), 189 x 50.
light_preview="160x100+140+105" dark_preview="160x100+340+105"
# frame_pixels SHOT PREVIEW: the bright pixels on the preview's one-pixel outer ring.
ring() {
  local file=$1 g=$2 w h x y
  IFS='x+' read -r w h x y <<<"$g"
  convert "$file" \( -size "${w}x${h}" xc:black -fill white -draw "rectangle 0,0 $((w - 1)),$((h - 1))" \
    -fill black -draw "rectangle 2,2 $((w - 3)),$((h - 3))" \) -geometry "+$x+$y" \
    -compose multiply -composite -crop "${w}x${h}+${x}+${y}" +repage \
    -fx '(b > 0.6 && r < 0.75) ? 1 : 0' -format '%[fx:int(mean*w*h+0.5)]' info:
}

log=$work/theme.log
start_setup "$log" /ThemePage
wait_window 640x390 yes 60
wait_trace "$log" '^page: PageTab_Color$' 30
sleep 1
main=$(window_like 640x390)
shot window-page-theme "$main"
echo "rings at start: light $(ring "$out/window-page-theme.png" $light_preview) dark $(ring "$out/window-page-theme.png" $dark_preview)"
click "$main" 420 155  # the Dark preview
sleep 0.7
xdotool mousemove 5 5
sleep 0.5
shot window-page-theme-dark "$main"
echo "rings dark: light $(ring "$out/window-page-theme-dark.png" $light_preview) dark $(ring "$out/window-page-theme-dark.png" $dark_preview)"
xdotool mousemove $(( ${main##* } )) 0
exit 0

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
silent=
# What the installer leaves for the user: the browser's settings file (the theme,
# the options saved on cancel) and the installer's desktop shortcut (made on
# cancel). Put back as they were, so later tests of this prefix see what they left.
user_files=()
for d in "$prefix"/drive_c/users/*/; do
  [ "$(basename "$d")" = Public ] && continue
  user_files+=("${d}AppData/Local/Qarto Private Browser/User Data/Default/config.kvdt"
               "${d}Desktop/Qarto Private Browser Installer.lnk")
done
for i in "${!user_files[@]}"; do
  [ -f "${user_files[$i]}" ] && cp -a "${user_files[$i]}" "$work/saved-$i"
done
restore_user_files() {
  local i
  for i in "${!user_files[@]}"; do
    if [ -f "$work/saved-$i" ]; then cp -a "$work/saved-$i" "${user_files[$i]}"; else rm -f "${user_files[$i]}"; fi
  done
}
cleanup() {
  stop_setup
  restore_user_files
  [ -n "$silent" ] && kill "$silent" 2>/dev/null || true
  local v
  for v in TestHooks UpdateHost RegionalHost DownloadHost; do reg32 delete "$key" /v $v /f || true; done
  rm -rf "$work"
  [ -n "${QARTO_XVFB_PID:-}" ] && kill "$QARTO_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
config() {
  local f
  for f in "$prefix"/drive_c/users/*/AppData/Local/"Qarto Private Browser"/"User Data"/Default/config.kvdt; do
    if [ -f "$f" ]; then echo "$f"; fi
  done
  return 0  # none yet: an empty answer, on a fresh prefix too
}
stored_color() {
  local f
  f=$(config)
  [ -n "$f" ] || { echo "(no config.kvdt)"; return; }
  "$wine_run" "$qtool" kvdt-get "Z:${f//\//\\}" Main Color 2>/dev/null | tr -d '\r' | head -1
}
# The theme page is asked for with or without a stored theme; start without one.
f=$(config)
[ -z "$f" ] || rm -f "$f"

# --- Options page and the cancel question ------------------------------------------------
log=$work/options.log
start_setup "$log"
wait_installer 60
wait_trace "$log" '^FormCreate: 4$' 30
main=$(window_like 640x390)
click "$main" 320 303  # "Customize..." (centred, 255 on the page)
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
wait_exit 20
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after Yes, expected 0"
echo "options page, cancel question: No keeps, Yes ends with 0"

# --- The theme page --------------------------------------------------------------------
reg32 add "$key" /v TestHooks /d 1 /f || fail "could not allow the test hooks"
# On the window: previews at (140, 105) and (340, 105), 160 x 100, with their frames;
# the check boxes' marks at (200, 226) and (400, 226); "Done" at (226, 280), 189 x 50.
light_preview=160x100+140+105 dark_preview=160x100+340+105
# ring FILE PREVIEW: the pixels of a frame's colour (purple) on the preview's outer
# two-pixel ring: about 1000 with a selection or hover frame, none without.
ring() {
  local w h x y
  IFS='x+' read -r w h x y <<<"$2"
  convert "$1" -crop "${w}x${h}+${x}+${y}" +repage \
    \( -size "${w}x${h}" xc:white -fill black -draw "rectangle 2,2 $((w - 3)),$((h - 3))" \) \
    -compose multiply -composite -fx '(b > 0.7 && r < 0.75 && g < 0.7) ? 1 : 0' \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
# mark FILE X: the purple pixels of the check mark around (X, 226): 9 when on.
mark() { pixels "$1" "3x3+$(($2 - 1))+225" 'r < 0.5 && b > 0.8'; }
# expect STATE SHOT: STATE is four letters: the Light frame, the Dark frame, the
# Light check box, the Dark check box, each y or n.
expect() {
  local f=$out/$2.png got
  got=$( ([ "$(ring "$f" $light_preview)" -gt 500 ] && echo -n y || echo -n n
          [ "$(ring "$f" $dark_preview)" -gt 500 ] && echo -n y || echo -n n
          [ "$(mark "$f" 200)" -gt 6 ] && echo -n y || echo -n n
          [ "$(mark "$f" 401)" -gt 6 ] && echo -n y || echo -n n))
  [ "$got" = "$1" ] || fail "$2: frames and check boxes (light, dark, light box, dark box) are $got, expected $1"
}
# theme_shot NAME: the pointer moved off the page first (leaving a hover frame hides it).
theme_shot() {
  [ "${2:-}" = keep-pointer ] || xdotool mousemove 5 5
  sleep 0.8
  shot "$1" "$main"
}

log=$work/theme.log
start_setup "$log" /ThemePage
wait_installer 60
wait_trace "$log" '^page: PageTab_Color$' 30
main=$(window_like 640x390)
theme_shot window-page-theme
expect ynyn window-page-theme
click "$main" 420 155  # the Dark preview
theme_shot window-page-theme-dark
expect nyny window-page-theme-dark
read -r _ _ mx my <<<"$main"
# Over the Light preview: its hover frame comes up in front of it and, after the
# pointer's next move, is the control under it, whose leaving hides it again.
xdotool mousemove $((mx + 220)) $((my + 155))
sleep 0.3
xdotool mousemove $((mx + 225)) $((my + 158))
theme_shot window-page-theme-hover keep-pointer
expect nyny window-page-theme-hover  # the hover frame is grey, not a selection
xdotool mousemove $((mx + 60)) $((my + 340))  # off the preview, on the page
theme_shot window-page-theme-left keep-pointer
expect nyny window-page-theme-left
# crop_differ A B GEOMETRY: differing pixels of two screenshots in one rectangle.
crop_differ() {
  convert "$out/$1.png" -crop "$3" +repage "$work/a.png"
  convert "$out/$2.png" -crop "$3" +repage "$work/b.png"
  differ "$work/a.png" "$work/b.png"
}
[ "$(crop_differ window-page-theme-hover window-page-theme-left $light_preview)" -gt 300 ] ||
  fail "no hover frame over the Light preview"
[ "$(crop_differ window-page-theme-dark window-page-theme-left $light_preview)" -lt 50 ] ||
  fail "the hover frame stayed after the pointer left"
click "$main" 200 226  # the Light check box
theme_shot window-page-theme-light
expect ynyn window-page-theme-light
click "$main" 420 155  # Dark again, then "Done"
click "$main" 320 305
wait_trace "$log" '^page: PageTab_Finished$' 20
theme_shot window-page-finished
[ "$(stored_color)" = Dark ] || fail "Done stored '$(stored_color)', expected Dark"
click "$main" 620 15  # the close button on the finish page ends the installer
wait_exit 30
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing the finish page"
echo "theme page: frames, hover and check boxes follow the clicks; Done stored Dark; finish page closed with 0"

# The close button on the theme page stores the current choice (Light) like Done.
log=$work/theme-close.log
start_setup "$log" /ThemePage
wait_installer 60
wait_trace "$log" '^page: PageTab_Color$' 30
main=$(window_like 640x390)
sleep 0.5
click "$main" 620 15
wait_trace "$log" '^page: PageTab_Finished$' 20
[ "$(stored_color)" = Light ] || fail "the close button stored '$(stored_color)', expected Light"
click "$main" 620 15
wait_exit 30
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing the finish page"
reg32 delete "$key" /v TestHooks /f
echo "theme page closed by the close button: Light stored"

# --- The download page: servers that accept and never answer keep it up ------------------
python3 -c 'import socket, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(16)
print(s.getsockname()[1], flush=True); time.sleep(120)' >"$work/port" &
silent=$!
for i in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
for role in UpdateHost RegionalHost DownloadHost; do reg32 add "$key" /v $role /d "http://127.0.0.1:$port" /f; done
log=$work/download.log
start_setup "$log"
wait_installer 60
wait_trace "$log" '^FormCreate: 4$' 30
main=$(window_like 640x390)
click "$main" 320 266  # "Install Now"
wait_trace "$log" '^page: PageTab_Download$' 20
theme_shot window-page-download
click "$main" 620 15  # the close button asks as "Cancel" does
wait_window 324x152 yes 20
click "$(window_like 324x152)" 190 120  # "Yes"
wait_exit 30
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after cancelling the download"
kill "$silent" 2>/dev/null || true
for role in UpdateHost RegionalHost DownloadHost; do reg32 delete "$key" /v $role /f; done
echo "download page: shown while the servers keep silent; cancelled with 0"

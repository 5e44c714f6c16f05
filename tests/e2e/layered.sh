#!/usr/bin/env bash
# The layered gallery page under Wine on the test display, driven by real input
# (xdotool) and judged by its event lines and by pixels of screenshots (kept in
# out/layered-*.png):
#  - the shadow window lies around the main form (a dark band just outside it);
#  - a click on a button raises Click; a press dragged off the button and released
#    outside raises MouseDown and MouseUp but no Click;
#  - a click on a check box toggles it (event and the box's pixels), twice;
#  - dragging the form by its background moves it and its shadow with it;
#  - minimising (to the notification area) takes form and shadow away, a click on
#    the tray icon brings both back;
#  - the time from the mouse entering the install button to its fully faded state
#    is printed.
# X without a compositing manager shows partly transparent pixels of layered
# windows opaque, so the soft shadow shows as a dark band: "dark" is what is checked.
# Usage: layered.sh WINE_RUN GALLERY_EXE OUT_DIR
set -euo pipefail
wine_run=$1 gallery=$2 out=$3
# shellcheck source=../../scripts/lib/xdisplay.sh
source "$(dirname "$0")/../../scripts/lib/xdisplay.sh"
ensure_display
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/layered-*.png "$out/layered-events.txt"
events=$out/layered-events.txt

"$wine_run" "$gallery" --page layered --hold-ms 120000 >"$events" 2>&1 &
pid=$!
finish() {
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
}
trap finish EXIT

fail() {
  echo "FAILED: $*"
  echo "--- events"
  cat "$events"
  exit 1
}
# wait_for PATTERN [SECONDS]: until a line of the event log matches.
wait_for() {
  local i
  for i in $(seq $((${2:-10} * 10))); do
    grep -q -- "$1" "$events" && return 0
    sleep 0.1
  done
  fail "no line '$1' within ${2:-10} s"
}
count() { grep -c -- "$1" "$events" || true; }
shot() { import -display "$DISPLAY" -window root "$out/layered-$1.png"; }
# gray SHOT X Y: brightness 0..1 of the pixel at X,Y of a screenshot.
gray() { convert "$out/layered-$1.png" -crop "1x1+$2+$3" +repage -colorspace gray -format '%[fx:p{0,0}]' info:; }
expect() {  # expect SHOT X Y OP VALUE WHAT
  local g
  g=$(gray "$1" "$2" "$3")
  awk -v g="$g" -v v="$5" -v op="$4" 'BEGIN { exit !((op == "<" && g < v) || (op == ">" && g > v)) }' ||
    fail "$6: brightness $g at $2,$3 of $1 is not $4 $5"
  echo "ok: $6 ($g at $2,$3 of $1)"
}
# expect_green / expect_blue SHOT X Y WHAT: which channel leads at the pixel.
channels() { convert "$out/layered-$1.png" -crop "1x1+$2+$3" +repage -format '%[fx:p.r] %[fx:p.g] %[fx:p.b]' info:; }
expect_green() {
  local c
  c=$(channels "$1" "$2" "$3")
  echo "$c" | awk '{ exit !($2 > $3 + 0.15 && $2 > $1 + 0.15) }' || fail "$4: $c at $2,$3 of $1 is not green"
  echo "ok: $4 ($c)"
}
expect_blue() {
  local c
  c=$(channels "$1" "$2" "$3")
  echo "$c" | awk '{ exit !($3 > $2 + 0.15 && $3 > $1 + 0.15) }' || fail "$4: $c at $2,$3 of $1 is not blue"
  echo "ok: $4 ($c)"
}
move() { xdotool mousemove "$1" "$2"; sleep 0.3; }
click() { move "$1" "$2"; xdotool click 1; sleep 0.6; }

wait_for "event frmLayered Shown" 90
# A light desktop (set while the program keeps the display open, so the server
# does not reset it), so that a dark shadow shows against it.
convert -size 1280x1024 xc:'#d8dce4' "$out/.layered-desk.png"
display -window root "$out/.layered-desk.png" 2>/dev/null || true
rm -f "$out/.layered-desk.png"
move 700 700
sleep 1

# The form lies at 120,120 (640 x 390); its shadow 15 pixels around it.
shot initial
expect initial 113 320 "<" 0.35 "shadow band left of the form"
expect initial 420 517 "<" 0.35 "shadow band below the form"
expect initial 80 320 ">" 0.7 "desktop beyond the shadow"
expect initial 520 138 ">" 0.7 "the form's title bar"

# A click on the install button (form 20,58, 140 x 40).
move 210 198
wait_for "event btnInstall HoverFaded" 10
hover=$(grep -o "HoverFaded ms=[0-9]*" "$events" | head -1)
clicks=$(count "event btnInstall Click")
xdotool click 1
sleep 0.6
[ "$(count "event btnInstall Click")" -eq $((clicks + 1)) ] || fail "the click on btnInstall raised no Click"
echo "ok: button click"

# A press that leaves the button and is released outside it: no click.
downs=$(count "event btnInstall MouseDown")
xdotool mousedown 1
sleep 0.5
shot pressed
move 240 260
move 60 700
xdotool mouseup 1
sleep 0.6
[ "$(count "event btnInstall MouseDown")" -eq $((downs + 1)) ] || fail "no MouseDown for the press"
tail -n 3 "$events" | grep -q "event btnInstall MouseUp" || fail "no MouseUp for the release outside"
[ "$(count "event btnInstall Click")" -eq $((clicks + 1)) ] || fail "a release outside the button clicked it"
echo "ok: press released outside, no click"

# The check box (form 20,112; its box 16 x 16 at 0,4): checked, then unchecked.
click 148 244
wait_for "event chkDesktop CheckBoxOnClick state=1" 3
shot checked
expect checked 143 240 "<" 0.6 "the box is filled when checked"
click 148 244
wait_for "event chkDesktop CheckBoxOnClick state=0" 3
shot unchecked
expect unchecked 143 240 ">" 0.8 "the box is white when unchecked"

# The notebook's second page, the next status picture, a balloon under its button
# (kept as screenshots of those states).
click 281 320
wait_for "event pgMain Change index=1" 3
click 660 420
wait_for "event imgStatus ItemChanged index=1" 3
wait_for "event lblStatus TextChanged name=failed" 3
click 660 462
sleep 1
shot states
expect_green states 240 312 "the second tab button is the selected (green) one"
expect_blue states 144 312 "the first tab button is no longer selected"
expect states 700 555 ">" 0.9 "the balloon's body under its button"
click 700 540  # a click on the balloon closes it
wait_for "event balloonInfo BalloonClick" 3
wait_for "event balloonInfo Hidden" 3

# Drag the form by its empty title bar, 150 right and 100 down.
move 520 145
xdotool mousedown 1
sleep 0.3
for step in 1 2 3 4 5; do move $((520 + step * 30)) $((145 + step * 20)); done
xdotool mouseup 1
sleep 1
move 700 800
sleep 0.5
shot dragged
expect dragged 670 245 ">" 0.7 "the form's title bar at its new place"
expect dragged 263 420 "<" 0.35 "shadow band left of the moved form"
expect dragged 570 617 "<" 0.35 "shadow band below the moved form"
expect dragged 113 320 ">" 0.7 "nothing left where the shadow was"

# Minimise to the notification area, then click the tray icon.
click 845 242
wait_for "event trayMain MinimizeApp" 3
sleep 1
shot minimized
expect minimized 570 420 ">" 0.7 "the form is gone"
expect minimized 263 420 ">" 0.7 "its shadow is gone"
tray=$(xwininfo -root -tree | grep '"Wine System Tray"' | head -1 || true)
if [ -n "$tray" ]; then
  geometry=$(echo "$tray" | grep -o '[0-9]*x[0-9]*+[0-9-]*+[0-9-]*' | head -1)
  tx=$(echo "$geometry" | cut -d+ -f2) ty=$(echo "$geometry" | cut -d+ -f3)
  click $((tx + 10)) $((ty + 10))
  echo "restoring through the tray icon at $((tx + 10)),$((ty + 10))"
else
  click 940 288  # the dialog's "Restore the main form"
  echo "no notification area on this display: restoring through the dialog's button"
fi
wait_for "event trayMain RestoreApp" 5
sleep 1
move 700 800
sleep 0.5
shot restored
expect restored 670 245 ">" 0.7 "the form is back"
expect restored 263 420 "<" 0.35 "its shadow is back"

# Close through the form's own button.
click 881 242
wait_for "event btnClose Click" 3
for i in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the gallery did not end after its close button"
echo "hover to fully faded: ${hover#HoverFaded }"
echo "layered gallery: ok (screenshots in $out)"

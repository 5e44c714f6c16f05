#!/usr/bin/env bash
# The input controls' gallery page (Gallery.exe --page input) under Wine, driven by
# real input through xdotool and judged by the page's event lines and by pixels
# of screenshots, which stay in OUT_DIR (input-*.png):
# - the licence line: hovering EULA recolours only that link; a click fires the
#   right LinkItems entry; a press on one link released on the other fires none;
# - the language combo: a press on its face opens a new top-level window under
#   it, with its shadow window around it; the pointer highlights rows without choosing; the wheel scrolls the long
#   list; a click chooses and closes; Down chooses, Escape closes keeping it;
# - the skinned edit: typing ASCII and non-ASCII text (xdotool type, 250 ms
#   between keys: faster, Wine drops characters while xdotool remaps its keyboard
#   for each one); the edit keeps its skin up to its edges;
# - the page's own pixel self-test, run when the page is closed.
# Usage: input_controls.sh WINE_RUN GALLERY_EXE WINTOOL_EXE OUT_DIR
set -euo pipefail
wine_run=$1 gallery=$2 wintool=$3 out=$4
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ]; then
  # shellcheck source=../../scripts/lib/xdisplay.sh
  source "$here/../../scripts/lib/xdisplay.sh"
  ensure_display
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
log=$out/input-events.txt
rm -f "$log" "$out"/input-*.png
win_out="Z:${out//\//\\}"

"$wine_run" "$gallery" --page input --selftest --hold-ms 150000 --out "$win_out" >"$log" 2>&1 &
pid=$!
finish() {
  kill "$pid" 2>/dev/null || true
}
trap finish EXIT

fail() {
  echo "FAILED: $*"
  echo "--- events:"
  cat "$log"
  exit 1
}
# The log without the carriage returns the Windows C runtime writes.
lines() { tr -d '\r' <"$log"; }
# wait_line PATTERN [SECONDS]: until a line of the log matches (grep -E).
wait_line() {
  local i
  for i in $(seq $((${2:-10} * 10))); do
    grep -qE "$1" <(lines) && return 0
    sleep 0.1
  done
  fail "no line matching '$1'"
}
count() { lines | grep -cE "$1" || true; }
# wait_count PATTERN N: until N lines match.
wait_count() {
  local i
  for i in $(seq 100); do
    [ "$(count "$1")" -ge "$2" ] && return 0
    sleep 0.1
  done
  fail "fewer than $2 lines matching '$1'"
}
# layout NAME: "x y w h" of a control on the screen, as the page printed it.
layout() { lines | awk -v n="$1" '$1 == "layout" && $2 == n { print $3, $4, $5, $6 }'; }
shot() { import -display "$DISPLAY" -window root "$out/input-$1.png"; }
# rgb FILE X Y: "r g b" of a pixel.
rgb() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:; }
is_rgb() {
  local got
  got=$(rgb "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "$5: pixel ($2,$3) of $(basename "$1") is $got, expected $4"
}
# pixels FILE GEOMETRY FX: how many pixels of the crop satisfy FX (r, g, b in 0..1).
pixels() {
  convert "$1" -crop "$2" +repage -fx "$3 ? 1 : 0" -format '%[fx:int(mean*w*h+0.5)]' info:
}
# Geometries (WxH+X+Y) of the gallery's visible top-level windows.
windows() {
  xdotool search --onlyvisible --classname gallery.exe 2>/dev/null | while read -r w; do
    xwininfo -id "$w" | awk '/-geometry/ { print $2 }'
  done
}
# wait_window GEOMETRY yes|no: until a visible window of that geometry is there or gone.
wait_window() {
  local i
  local now
  for i in $(seq 50); do
    # (the list first: grep -q stopping early would fail the pipe)
    now=$(windows)
    if grep -qxF "$1" <<<"$now"; then [ "$2" = yes ] && return 0; else [ "$2" = no ] && return 0; fi
    sleep 0.1
  done
  fail "window $1 expected: $2; windows now: $(windows | tr '\n' ' ')"
}

wait_line '^layout imgStretch' 60
sleep 1
shot initial

# --- The licence line -----------------------------------------------------------
read -r ex ey ew eh <<<"$(layout lblLicense.eula)"
read -r px py pw ph <<<"$(layout lblLicense.privacy)"
xdotool mousemove $((ex + ew / 2)) $((ey + eh / 2))
sleep 0.6
shot link-hover
red="r > 0.6 && g < 0.45 && b < 0.35"    # the hover colour (220, 60, 20)
blue="b > 0.55 && r < 0.35"              # the link colour (20, 90, 200)
[ "$(pixels "$out/input-link-hover.png" "${ew}x${eh}+${ex}+${ey}" "$red")" -gt 10 ] ||
  fail "the hovered EULA link is not in its hover colour"
[ "$(pixels "$out/input-link-hover.png" "${pw}x${ph}+${px}+${py}" "$red")" -eq 0 ] ||
  fail "the other link changed colour too"
[ "$(pixels "$out/input-link-hover.png" "${pw}x${ph}+${px}+${py}" "$blue")" -gt 10 ] ||
  fail "the Privacy Policy link is not in the link colour"
xdotool click 1
wait_line '^event lblLicense LinkClick index=0 name=eula$'
xdotool mousemove $((px + pw / 2)) $((py + ph / 2)) click 1
wait_line '^event lblLicense LinkClick index=1 name=privacy$'
# Pressed on one link, released on the other: no click.
xdotool mousemove $((ex + ew / 2)) $((ey + eh / 2)) mousedown 1
sleep 0.2
xdotool mousemove $((px + pw / 2)) $((py + ph / 2)) mouseup 1
sleep 1
[ "$(count 'LinkClick')" -eq 2 ] || fail "a press on one link released on another clicked"
echo "link: hover colour, clicks by entry, no click across links: ok"

# --- The language combo -----------------------------------------------------------
read -r cx cy cw ch <<<"$(layout cbxLang)"
item=$(lines | awk '$1 == "layout" && $2 == "cbxLang.item" { print $3 }')
# The list window: as wide as the face, eight rows and its border, right under it.
list="${cw}x$((8 * item + 2))+${cx}+$((cy + ch))"
grep -qxF "$list" <<<"$(windows)" && fail "a window like the list's is there before opening"
changes=$(count '^event cbxLang Change')
xdotool mousemove $((cx + cw / 2)) $((cy + ch / 2)) click 1
wait_line '^event cbxLang DropDownShow'
wait_window "$list" yes
# Its shadow: a click-through window around it, the shadow's width on every side.
sh=$(lines | awk '$1 == "layout" && $2 == "cbxLang.shadow" { print $3 }')
wait_window "$((cw + 2 * sh))x$((8 * item + 2 + 2 * sh))+$((cx - sh))+$((cy + ch - sh))" yes
row() { echo $((cy + ch + 1 + $1 * item + item / 2)); }
rowx=$((cx + 6))
green="43 120 0"  # the highlighted row's background
sleep 0.5
shot combo-open
is_rgb "$out/input-combo-open.png" "$rowx" "$(row 0)" "$green" "the selected row is highlighted"

xdotool mousemove $((cx + cw / 2)) "$(row 3)"
sleep 0.5
shot combo-hot
is_rgb "$out/input-combo-hot.png" "$rowx" "$(row 3)" "$green" "the row under the pointer is highlighted"
is_rgb "$out/input-combo-hot.png" "$rowx" "$(row 0)" "255 255 255" "the first row is no longer highlighted"
[ "$(count '^event cbxLang Change')" -eq "$changes" ] || fail "hot tracking chose a row"

xdotool click 5
wait_line '^event cbxLang ListScroll top=3$'
sleep 0.4
shot combo-wheel
rows="$((cw - 12))x$((8 * item))+${cx}+$((cy + ch + 1))"
convert "$out/input-combo-hot.png" -crop "$rows" +repage "$out/rows-before.tmp.png"
convert "$out/input-combo-wheel.png" -crop "$rows" +repage "$out/rows-after.tmp.png"
differ=$(compare -metric AE "$out/rows-before.tmp.png" "$out/rows-after.tmp.png" null: 2>&1 || true)
rm -f "$out"/rows-*.tmp.png
[ "${differ%% *}" != 0 ] || fail "the list did not scroll"

xdotool mousemove $((cx + cw / 2)) "$(row 2)"
sleep 0.3
xdotool click 1
wait_line '^event cbxLang Change index=5 '
wait_line '^event cbxLang CloseUp'
wait_window "$list" no
shot combo-chosen

xdotool mousemove $((cx + cw / 2)) $((cy + ch / 2)) click 1
wait_count '^event cbxLang DropDownShow' 2
wait_window "$list" yes
xdotool key Down
wait_line '^event cbxLang Change index=6 '
xdotool key Escape
wait_count '^event cbxLang CloseUp' 2
wait_window "$list" no
[ "$(count '^event cbxLang CloseUp')" -eq 2 ] || fail "Escape did not close the list"
[ "$(lines | grep -E '^event cbxLang Change' | tail -1 | cut -d' ' -f4)" = "index=6" ] ||
  fail "Escape changed the selection"
echo "combo: new window with its shadow, hot tracking, wheel, click, keys and Escape: ok"

# --- The skinned edit ---------------------------------------------------------------
read -r tx ty tw th <<<"$(layout edtPath)"
xdotool mousemove $((tx + tw / 2)) $((ty + th / 2)) click 1
wait_line '^event edtPath Enter'
# xdotool types a character that is not on the keyboard by binding it to a spare
# key for that one keystroke; Wine re-reads the keymap on each change and, when
# the machine is busy, sometimes reads it too late and loses the character. So
# the text goes in one character at a time, each checked through the edit's
# Change event, and a lost one is typed again (at most three times).
edit_text() { lines | grep '^event edtPath Change text=' | tail -1 | cut -d= -f2-; }
retyped=0
type_checked() {
  local typed=$1 want attempt i
  for ((k = 0; k < ${#2}; k++)); do
    want="$typed${2:k:1}"
    for attempt in 1 2 3; do
      xdotool type --delay 100 -- "${2:k:1}"
      for i in $(seq 20); do
        [ "$(edit_text)" = "$want" ] && break
        sleep 0.1
      done
      [ "$(edit_text)" = "$want" ] && break
      retyped=$((retyped + 1))
      # Something else arrived instead: take it back.
      for i in 1 2 3; do
        [ "$(edit_text)" = "$typed" ] && break
        xdotool key BackSpace
        sleep 0.3
      done
    done
    [ "$(edit_text)" = "$want" ] || fail "could not type '${2:k:1}' after '$typed' (edit has '$(edit_text)')"
    typed=$want
  done
}
text='D:\Qarto größe café привет €'
export LC_ALL=C.UTF-8  # ${#text} and ${text:k:1} by characters
type_checked "" "$text"
[ "$(edit_text)" = "$text" ] || fail "the edit has '$(edit_text)'"
sleep 0.5
shot edit-typed
# The focused image's border (20, 90, 200, two pixels) up to the right and bottom
# edges, its fill just inside: the edit is its skin there, no band of another colour.
is_rgb "$out/input-edit-typed.png" $((tx + tw - 1)) $((ty + th / 2)) "20 90 200" "the edit's right edge"
is_rgb "$out/input-edit-typed.png" $((tx + tw - 4)) $((ty + th / 2)) "252 253 255" "inside the edit's right edge"
is_rgb "$out/input-edit-typed.png" $((tx + tw / 2)) $((ty + th - 1)) "20 90 200" "the edit's bottom edge"
[ "$(pixels "$out/input-edit-typed.png" "$((tw - 16))x$((th - 8))+$((tx + 8))+$((ty + 4))" "r < 0.4 && g < 0.4 && b < 0.4")" -gt 60 ] ||
  fail "no text in the edit"
echo "edit: typed '$text' ($retyped characters typed again), skin up to its edges: ok"

# --- Close: the page's own pixel checks run -----------------------------------------
"$wine_run" "$wintool" close "Input controls" >/dev/null
status=0
wait "$pid" || status=$?
trap - EXIT
lines | grep '^probe'
[ "$status" -eq 0 ] && grep -q '^selftest passed' <(lines) || fail "the page's self-test failed ($status)"
echo "input controls under Wine: ok (screenshots in $out)"

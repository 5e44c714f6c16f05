#!/usr/bin/env bash
# The control gallery under Wine on the test display: its self-test checks the
# pixels it painted (text alpha kept on the layered form, gradients, nine-slice
# frame mode, animation); this script also photographs the screen and checks that
# the layered window really shows there: the card's light body and the title's dark
# ink at the place the form was put (100, 100). Then the page "skin" (controls
# whose pictures all come from a skin package, one faded and one scaled by the
# skin's drawing options) checks its own pixels, and its screenshot must show the
# skin's stretched picture. Screenshots stay in out/.
# Usage: gallery.sh WINE_RUN GALLERY_EXE OUT_DIR (WINE_RUN: <tree>/wine-run)
set -euo pipefail
wine_run=$1 gallery=$2 out=$3
# shellcheck source=../../scripts/lib/xdisplay.sh
source "$(dirname "$0")/../../scripts/lib/xdisplay.sh"
ensure_display
mkdir -p "$out"
shot="$out/gallery-screen.png"
skin_shot="$out/gallery-skin-screen.png"
rm -f "$shot" "$skin_shot" "$out/gallery-backbuffer.png" "$out/skin-backbuffer.png"

out=$(cd "$out" && pwd)
win_out="Z:${out//\//\\}"  # Wine's Z: drive is the Unix root

# Photographs the screen 3 s after the start, and again every half second while the
# program runs and the shot is still all black: a Wine that starts cold on a busy
# machine shows the window later (seen here: a black shot at 3 s).
photograph() {
  local pid=$1 shot=$2 i
  sleep 3
  for i in $(seq 8); do
    import -display "$DISPLAY" -window root "$shot"
    [ "$(convert "$shot" -format '%[fx:maxima]' info:)" != 0 ] && return 0
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.5
  done
}
"$wine_run" "$gallery" --selftest --hold-ms 6000 --out "$win_out" \
  >"$out/gallery-selftest.txt" 2>&1 &
pid=$!
photograph "$pid" "$shot"
status=0
wait "$pid" || status=$?
cat "$out/gallery-selftest.txt"
[ "$status" -eq 0 ] || { echo "gallery self-test failed ($status)"; exit 1; }

# Screen coordinates = form position + form coordinates.
gray() { convert "$shot" -crop "$1" +repage -colorspace gray -format "$2" info:; }
card_max=$(gray 60x20+440+160 '%[fx:maxima]')    # card body right of the subtitle
title_min=$(gray 216x30+124+116 '%[fx:minima]')  # the title's glyphs
echo "screen: card brightest $card_max, title darkest $title_min"
awk -v c="$card_max" -v t="$title_min" 'BEGIN { exit !(c > 0.85 && t < 0.45) }' ||
  { echo "the layered window does not show its card and title on the screen"; exit 1; }
echo "gallery on screen: ok ($shot)"

"$wine_run" "$gallery" --page skin --selftest --hold-ms 6000 --out "$win_out" \
  >"$out/gallery-skin-selftest.txt" 2>&1 &
pid=$!
photograph "$pid" "$skin_shot"
status=0
wait "$pid" || status=$?
cat "$out/gallery-skin-selftest.txt"
[ "$status" -eq 0 ] || { echo "gallery skin page self-test failed ($status)"; exit 1; }
# The first stretched picture's middle: form (100, 100) + picture (20, 184) + (60, 45).
green=$(convert "$skin_shot" -format '%[fx:p{180,329}.g - p{180,329}.r]' info:)
echo "screen: skin picture green over red $green"
awk -v g="$green" 'BEGIN { exit !(g > 0.4) }' ||
  { echo "the skin's picture does not show on the screen"; exit 1; }
echo "gallery skin page on screen: ok ($skin_shot)"

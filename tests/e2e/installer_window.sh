#!/usr/bin/env bash
# The installer window under real input (xdotool), judged by its place on the
# screen, its state, its traces and screenshots (OUT_DIR/installer-window-*.png):
#  - it shows its main page; dragging the title strip moves it, pressing on the page
#    body and dragging does not;
#  - the minimise button minimises it; a restore brings it back;
#  - "Customize..." opens the options page, "Back" the main page again;
#  - the language selector switches the texts at once (German: other pixels);
#  - the close button on the main page asks the cancel question, whose text is
#    shown; "Yes" ends the program with exit code 0 and leaves the installer
#    shortcut;
#  - started with LC_ALL=de_DE.UTF-8 it starts in German; closed by the system it
#    ends with exit code 0 without asking.
# usage: installer_window.sh WINE_RUN SETUP_EXE QTOOL_EXE OUT_DIR
set -euo pipefail
source "$(dirname "$0")/flow_lib.sh"
flow_init "$1" "$2" "$4" installer-window
tool() { "$FLOW_WINE_RUN" "$FLOW_WINTOOL" "$@" | tr -d '\r'; }
# Brightness 0..1 of a screenshot's region WxH+X+Y: mean, or the share of bright pixels.
mean_of() { convert "$FLOW_OUT/$FLOW_NAME-$1.png" -crop "$2" +repage -colorspace gray -format '%[fx:mean]' info:; }
bright_share() {
  convert "$FLOW_OUT/$FLOW_NAME-$1.png" -crop "$2" +repage -colorspace gray -threshold 50% -format '%[fx:mean]' info:
}
# drag X Y DX DY: press at a place of the window, move by DX,DY in steps, release.
drag() {
  flow_geometry
  xdotool mousemove $((FLOW_X + $1)) $((FLOW_Y + $2))
  sleep 0.2
  xdotool mousedown 1
  local i
  for i in 1 2 3 4 5; do
    xdotool mousemove $((FLOW_X + $1 + $3 * i / 5)) $((FLOW_Y + $2 + $4 * i / 5))
    sleep 0.1
  done
  xdotool mouseup 1
  sleep 0.5
  flow_geometry
}
near() { [ $(($1 - $2)) -le 2 ] && [ $(($2 - $1)) -le 2 ]; }

flow_reset  # no earlier installation: "Customize..." is offered

flow_setup_start
flow_window
flow_wait_page PageTab_Main
flow_shot main
x0=$FLOW_X y0=$FLOW_Y

# Dragging: the title strip moves the window, the page body does not.
drag 200 15 120 60
near "$FLOW_X" $((x0 + 120)) && near "$FLOW_Y" $((y0 + 60)) ||
  fail "dragging the title strip by 120,60 moved the window from $x0,$y0 to $FLOW_X,$FLOW_Y"
ok "the title strip drags the window to $FLOW_X,$FLOW_Y"
x1=$FLOW_X y1=$FLOW_Y
drag 100 330 -90 -50
[ "$FLOW_X,$FLOW_Y" = "$x1,$y1" ] || fail "pressing on the page body moved the window to $FLOW_X,$FLOW_Y"
ok "the page body does not drag the window"
drag 200 15 -120 -60  # back to the middle

# Minimise and restore.
flow_click "${FLOW_MIN[@]}"
sleep 0.5
[ "$(tool state "$FLOW_TITLE")" = minimized ] || fail "the minimise button did not minimise the window"
tool restore "$FLOW_TITLE" || fail "could not restore the window"
sleep 1
[ "$(tool state "$FLOW_TITLE")" = normal ] || fail "the window stayed minimised"
flow_shot restored
ok "minimised and restored"

# Options page and back.
flow_click "${FLOW_CUSTOMIZE[@]}"
flow_wait_page PageTab_InstallOption 5
flow_shot options
flow_click "${FLOW_BACK[@]}"
for i in $(seq 20); do [ "$(flow_traces | grep -c '^page: PageTab_Main$')" = 2 ] && break; sleep 0.1; done
[ "$(flow_traces | grep -c '^page: PageTab_Main$')" = 2 ] || fail "\"Back\" did not show the main page"
ok "Customize... and Back"

# The language selector: German replaces the texts at once.
sleep 0.5
flow_shot english
flow_click "${FLOW_LANGUAGE[@]}"
sleep 0.5
flow_shot language-list
xdotool key Down Down Return  # English, French, German
flow_wait_trace "language: German" 5
sleep 0.5
flow_shot german
# The title and the button captions of the main page, inside the window.
flow_geometry
region="460x160+$((FLOW_X + 170))+$((FLOW_Y + 80))"
changed=$(compare -metric AE "$FLOW_OUT/$FLOW_NAME-english.png" "$FLOW_OUT/$FLOW_NAME-german.png" \
  -crop "$region" +repage null: 2>&1 || true)
[ "${changed%% *}" -gt 500 ] 2>/dev/null || fail "the main page's texts did not change with the language ($changed pixels)"
ok "the language selector switched the texts ($changed pixels of the page changed)"

# The close button asks; the question's text is there; "Yes" ends with 0.
flow_click "${FLOW_CLOSE[@]}"
flow_notice
flow_shot close-question
eval "$FLOW_NOTICE_PLACE"
share=$(bright_share close-question "255x50+$((X + 61))+$((Y + 22))")
awk -v s="$share" 'BEGIN { exit !(s > 0.02) }' || fail "the cancel question shows no text (bright share $share)"
ok "the cancel question shows its text (bright share $share)"
flow_notice_click "${FLOW_NOTICE_YES[@]}"
rc=$(flow_setup_exit 15)
[ "$rc" = 0 ] || fail "exit code $rc after closing from the main page"
[ -e "$FLOW_DESKTOP/$FLOW_PRODUCT Installer.lnk" ] || fail "no installer shortcut after closing from the main page"
ok "the close button on the main page ends with exit code 0"

# The start language follows the system's; a close by the system does not ask.
LC_ALL=de_DE.UTF-8 flow_setup_start
flow_window
flow_wait_page PageTab_Main
flow_has_trace "********** FLanguageName: German" || fail "LC_ALL=de_DE.UTF-8 did not start in German"
flow_shot start-german
tool close "$FLOW_TITLE" || fail "could not ask the window to close"
rc=$(flow_setup_exit 15)
[ "$rc" = 0 ] || fail "exit code $rc after the system closed the window"
ok "started in German; closed by the system with exit code 0"
echo "PASS"

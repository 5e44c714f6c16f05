# Shared by the installer window's end-to-end tests (window_*.sh). Source it after
# setting wine_run (<tree>/wine-run), setup (Setup.exe), out (the folder that keeps
# screenshots) and, for tool, wintool. Starts Xvfb when there is no display.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/xdisplay.sh"
ensure_display
mkdir -p "$out"
title="Qarto Private Browser Installer"
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
prefix=$(cd "$(dirname "$wine_run")" && pwd)/wineprefix
fail() { echo "FAIL: $*" >&2; exit 1; }
# A language stored in the browser's configuration by an earlier installation in
# this prefix wins over the Windows language: the window tests start without one.
rm -f "$prefix"/drive_c/users/*/AppData/Local/"Qarto Private Browser"/"User Data"/Default/config.kvdt
tool() { "$wine_run" "$wintool" "$@" | tr -d '\r'; }
reg32() { "$wine_run" reg "$@" /reg:32 >/dev/null 2>&1; }

# start_setup LOG [ARGS...]: Setup.exe in the background (its pid in setup_pid), its
# debugger output in LOG. Extra environment goes before the call (LC_ALL=... start_setup).
# SETUP_PREFIX names another prefix than the tree's.
start_setup() {
  local log=$1; shift
  if [ -n "${SETUP_PREFIX:-}" ]; then
    WINEDEBUG=warn+seh "$repo/scripts/lib/wine-run" "$SETUP_PREFIX" "$setup" "$@" >/dev/null 2>"$log" &
  else
    WINEDEBUG=warn+seh "$wine_run" "$setup" "$@" >/dev/null 2>"$log" &
  fi
  setup_pid=$!
  setup_started=$(date +%s.%N)
}
# traces LOG: the program's debugger-output lines.
traces() { grep -a 'OutputDebugStringA' "$1" | sed -E 's/^.*OutputDebugStringA "(.*)"$/\1/; s/\\n$//'; }
# wait_trace LOG REGEX SECONDS
wait_trace() {
  local i
  for i in $(seq $(($3 * 10))); do
    traces "$1" | grep -qE "$2" && return 0
    kill -0 "$setup_pid" 2>/dev/null || { traces "$1" | grep -qE "$2" && return 0; break; }
    sleep 0.1
  done
  fail "no trace line '$2' within $3 s; traces: $(traces "$1" | tr '\n' '|')"
}
# Geometries (WxH+X+Y) of the installer's visible top-level windows.
windows() {
  xdotool search --onlyvisible --classname setup.exe 2>/dev/null | while read -r w; do
    xwininfo -id "$w" 2>/dev/null | awk '/-geometry/ { print $2 }'
  done
}
# window_like SIZE: the first visible window of that size ("640x390") as "W H X Y".
window_like() {
  windows | awk -F'[x+]' -v w="${1%x*}" -v h="${1#*x}" '$1 == w && $2 == h { print $1, $2, $3, $4; exit }'
}
# wait_window SIZE yes|no SECONDS: until a visible window of that size is there / gone.
wait_window() {
  local i
  for i in $(seq $(($3 * 10))); do
    if [ -n "$(window_like "$1")" ]; then [ "$2" = yes ] && return 0; else [ "$2" = no ] && return 0; fi
    sleep 0.1
  done
  fail "window $1 expected: $2; windows now: $(windows | tr '\n' ' ')"
}
# wait_installer SECONDS: until the installer window and its shadow frame (670 x 420)
# are both up, and a moment more. Wine maps the shadow, which comes up just after the
# window, on top at first and only then stacks it under the window: a click in
# between lands on the shadow and is lost, as a test that clicks the moment the window
# shows found about every other time.
wait_installer() {
  wait_window 640x390 yes "$1"
  wait_window 670x420 yes 10
  sleep 0.3
}
# shot NAME "W H X Y": a screenshot of that rectangle of the screen in $out/NAME.png.
shot() {
  local w h x y
  read -r w h x y <<<"$2"
  import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$1.png"
}
# click "W H X Y" DX DY: a real click at that point of the rectangle.
click() {
  local w h x y
  read -r w h x y <<<"$1"
  xdotool mousemove $((x + $2)) $((y + $3)) click 1
}
# rgb FILE X Y: "r g b" of a pixel.
rgb() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:; }
# pixels FILE GEOMETRY FX: how many pixels of the crop satisfy FX (r, g, b in 0..1).
pixels() { convert "$1" -crop "$2" +repage -fx "$3 ? 1 : 0" -format '%[fx:int(mean*w*h+0.5)]' info:; }
# differ A B: how many pixels differ between two pictures of the same size.
differ() { local d; d=$(compare -metric AE "$1" "$2" null: 2>&1 || true); echo "${d%% *}"; }
# wait_exit SECONDS: waits for the installer to end (fails past SECONDS); its exit
# code in exit_code. (Not in a subshell: only this shell can wait for it.)
wait_exit() {
  local i
  for i in $(seq $(($1 * 10))); do
    kill -0 "$setup_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$setup_pid" 2>/dev/null && fail "the installer still runs after $1 s"
  exit_code=0
  wait "$setup_pid" || exit_code=$?
  setup_pid=
}
stop_setup() {
  if [ -n "${setup_pid:-}" ] && kill -0 "$setup_pid" 2>/dev/null; then
    kill "$setup_pid" 2>/dev/null || true
    wait "$setup_pid" 2>/dev/null || true
  fi
  # A killed program leaves its wine processes: end this prefix's server (only ours).
  WINEPREFIX=${SETUP_PREFIX:-$prefix} wineserver -k 2>/dev/null || true
}
# refusal NAME SIZE OK_X OK_Y TEXT_AREA [SHOW_SECONDS [EXIT_SECONDS]]: the notice of
# that size is shown within SHOW_SECONDS (60), with its message (text pixels in
# RGB(203, 203, 226) in TEXT_AREA) drawn by then, and no main window; a click on OK
# ends the installer with 0 within EXIT_SECONDS (20). Its screenshot is
# $out/window-refusal-NAME.png. (Where 32-bit code is emulated a start takes minutes
# and the notice may be drawn a while after its window appears.)
refusal() {
  local name=$1 size=$2 okx=$3 oky=$4 area=$5 show_seconds=${6:-60} exit_seconds=${7:-20}
  local t0=$SECONDS
  wait_window "$size" yes "$show_seconds"
  sleep 0.5
  local notice text
  while :; do
    notice=$(window_like "$size")
    [ -n "$notice" ] || fail "$name: the notice closed by itself"
    shot "window-refusal-$name" "$notice"
    text=$(pixels "$out/window-refusal-$name.png" "$area" 'abs(r*255-203) < 30 && abs(b*255-226) < 30 && b > r')
    [ "$text" -gt 100 ] && break
    [ $((SECONDS - t0)) -lt "$show_seconds" ] || fail "$name: the notice shows no message ($text text pixels)"
    sleep 1
  done
  [ -z "$(window_like 640x390)" ] || fail "$name: the main window is shown with the notice"
  local shown=$((SECONDS - t0))
  click "$notice" "$okx" "$oky"
  wait_exit "$exit_seconds"
  [ "$exit_code" -eq 0 ] || fail "$name: exit code $exit_code after OK, expected 0"
  echo "$name: notice $notice drawn after ${shown}s, closed by OK, exit code 0 $((SECONDS - t0 - shown))s later"
}
# The common end of a window test, for those with nothing more to undo (their EXIT
# trap): the installer stopped, the work folder ($work) removed, a private Xvfb ended.
window_cleanup() {
  stop_setup
  rm -rf "$work"
  [ -n "${QARTO_XVFB_PID:-}" ] && kill "$QARTO_XVFB_PID" 2>/dev/null || true
}

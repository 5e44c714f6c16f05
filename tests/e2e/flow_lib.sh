# Helpers for driving Setup.exe through its install flow under Wine: the stand-ins
# of the maker's servers, a clean slate in the prefix, the installer started with
# its debugger output captured, real clicks at the window's control positions,
# screenshots, and reading what the run left behind. Sourced by the install-flow
# end-to-end tests and by scripts/run; needs bash, xdotool and ImageMagick.
#
#   flow_init WINE_RUN SETUP_EXE OUT_DIR NAME   first; NAME prefixes screenshots
#
# Everything started here is stopped by flow_cleanup (installed as the EXIT trap),
# which also calls the function a test names in FLOW_AT_EXIT (its own servers, files).

flow_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
flow_repo=$(cd "$flow_here/../.." && pwd)
source "$flow_repo/scripts/lib/xdisplay.sh"

FLOW_TITLE="Qarto Private Browser Installer"
FLOW_PRODUCT="Qarto Private Browser"
# Window positions (inside the 640 x 390 window) of what the flow clicks.
FLOW_INSTALL_NOW=(321 266)   # "Install Now", also "Install", "Run Now" and the failure page's "Close"
FLOW_CUSTOMIZE=(320 303)     # "Customize..." on the main page
FLOW_BACK=(320 303)          # "Back" on the options page
FLOW_PATH_EDIT=(337 162)     # the folder edit on the options page
FLOW_DESKTOP_ICON=(184 196)  # the "Create a desktop icon" box
FLOW_CANCEL=(578 187)        # "Cancel" on the download page
FLOW_DARK=(420 155)          # the Dark preview on the theme page
FLOW_DONE=(321 305)          # "Done" on the theme page
FLOW_MIN=(580 15)            # the window's minimise button
FLOW_CLOSE=(620 15)          # the window's close button
FLOW_LANGUAGE=(503 14)       # the language selector
FLOW_NOTICE_YES=(190 120)    # in the notice dialog
FLOW_NOTICE_NO=(271 120)

fail() {
  echo "FAIL: $*" >&2
  if [ -n "${FLOW_LOG:-}" ] && [ -f "$FLOW_LOG" ]; then
    echo "--- installer traces ($FLOW_LOG)" >&2
    flow_traces | tail -n 40 >&2
  fi
  exit 1
}
ok() { echo "ok: $*"; }

flow_init() {
  FLOW_WINE_RUN=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  FLOW_SETUP=$2
  mkdir -p "$3"
  FLOW_OUT=$(cd "$3" && pwd)
  FLOW_NAME=$4
  FLOW_TREE=$(dirname "$FLOW_WINE_RUN")
  FLOW_PREFIX=$FLOW_TREE/wineprefix
  FLOW_WINTOOL=$FLOW_TREE/tests/e2e/wintool.exe
  FLOW_WORK=$(mktemp -d "/tmp/qarto-$FLOW_NAME.XXXXXX")
  FLOW_STANDINS=$FLOW_WORK/standins
  FLOW_SETUP_PID=''
  FLOW_RUNS=0
  FLOW_AT_EXIT=''
  ensure_display
  trap flow_cleanup EXIT  # after ensure_display, whose own trap this replaces
  # A command failing outside a check ends the script under set -e: say where.
  set -E
  trap 'echo "FAIL: unexpected error (status $?) at ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND" >&2' ERR
  "$flow_repo/scripts/lib/wine-prefix" "$FLOW_PREFIX" >/dev/null
  FLOW_USER=$(ls "$FLOW_PREFIX/drive_c/users" | grep -vx Public | head -n 1)
  FLOW_USER_DIR=$FLOW_PREFIX/drive_c/users/$FLOW_USER
  flow_private_desktop
  FLOW_DESKTOP=$FLOW_USER_DIR/Desktop
  FLOW_DOWNLOAD_DIR="$FLOW_PREFIX/drive_c/ProgramData/$FLOW_PRODUCT/Downloader"
  FLOW_DEFAULT_INSTALL="$FLOW_PREFIX/drive_c/Program Files/$FLOW_PRODUCT"
  FLOW_USER_DATA="$FLOW_USER_DIR/AppData/Local/$FLOW_PRODUCT/User Data"
  FLOW_TASKBAR_LINK="$FLOW_USER_DIR/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch/User Pinned/TaskBar/$FLOW_PRODUCT.lnk"
  # The demo browser closes its window by itself, so no run leaves it behind.
  export QARTO_DEMO_BROWSER_SECONDS=${QARTO_DEMO_BROWSER_SECONDS:-3}
}

flow_cleanup() {
  local rc=$?
  flow_kill_setup
  [ -z "${FLOW_AT_EXIT:-}" ] || "$FLOW_AT_EXIT" || true
  [ ! -f "$FLOW_STANDINS/standins.env" ] || "$flow_repo/tools/standins/standins.sh" stop "$FLOW_STANDINS" >/dev/null 2>&1 || true
  [ -n "${FLOW_KEEP_WORK:-}" ] || rm -rf "$FLOW_WORK"
  [ -z "${QARTO_XVFB_PID:-}" ] || kill "$QARTO_XVFB_PID" 2>/dev/null || true
  exit $rc
}

# Wine makes the desktop folder a link to the Linux home folder, which every
# prefix and every session here shares; the flow's shortcuts get a folder of this
# prefix instead, so that what a test finds there is what its run left.
flow_private_desktop() {
  local desktop=$FLOW_USER_DIR/Desktop
  if [ -L "$desktop" ] || [ ! -d "$desktop" ]; then
    rm -f "$desktop"
    mkdir -p "$desktop"
  fi
}

# --- the stand-ins ----------------------------------------------------------------

# flow_standins_start [OPTIONS]: (re)starts the stand-ins with standins.sh's options.
flow_standins_start() {
  flow_standins_stop
  "$flow_repo/tools/standins/standins.sh" start "$FLOW_STANDINS" "$FLOW_WINE_RUN" "$@" >"$FLOW_WORK/standins.out" 2>&1 ||
    { cat "$FLOW_WORK/standins.out" >&2; fail "the stand-ins did not start"; }
  # shellcheck disable=SC1090
  source "$FLOW_STANDINS/standins.env"
}
flow_standins_stop() {
  [ ! -f "$FLOW_STANDINS/standins.env" ] || "$flow_repo/tools/standins/standins.sh" stop "$FLOW_STANDINS" "$@" >/dev/null 2>&1 || true
  [ $# -gt 0 ] || rm -rf "$FLOW_STANDINS"
}
# Requests of the download server for the package, one access-log line each.
flow_package_requests() { cat "$FLOW_STANDINS/download/nginx-access.log" 2>/dev/null | grep -E 'QartoPrivateBrowserSetup|qarto-private-browser-setup' || true; }
# The API stand-in's record of the requests it received (JSON).
flow_api_requests() { curl -s --cacert "$CA_PEM" "https://127.0.0.1:$API_HTTPS_PORT/_requests"; }

# --- a clean slate ----------------------------------------------------------------

# Removes what an installation, the installer and the demo package leave, so that
# the next run is a first installation. The deployment override stays.
flow_reset() {
  flow_kill_setup
  local reg=$FLOW_WORK/reset.reg
  printf '%s\r\n' 'REGEDIT4' '' \
    "[-HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$FLOW_PRODUCT""_is1]" \
    "[-HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$FLOW_PRODUCT""_is1]" \
    "[-HKEY_CURRENT_USER\\Software\\$FLOW_PRODUCT]" \
    '[-HKEY_CURRENT_USER\Software\Qarto Demo Package]' \
    '[-HKEY_CURRENT_USER\Software\Microsoft\Windows\Shell\Associations\UrlAssociations\http\UserChoice]' \
    '[-HKEY_CURRENT_USER\Software\Microsoft\Windows\Shell\Associations\UrlAssociations\https\UserChoice]' \
    '[-HKEY_CURRENT_USER\Software\Classes\QartoBrowserURL]' \
    '[-HKEY_CURRENT_USER\Software\Clients\StartMenuInternet]' \
    '[HKEY_CURRENT_USER\Software\RegisteredApplications]' "\"$FLOW_PRODUCT\"=-" '' >"$reg"
  "$FLOW_WINE_RUN" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 || fail "could not reset the registry"
  rm -rf "$FLOW_PREFIX/drive_c/ProgramData/$FLOW_PRODUCT" "$FLOW_DEFAULT_INSTALL" \
    "$FLOW_USER_DIR/AppData/Local/$FLOW_PRODUCT" "$FLOW_TASKBAR_LINK"
  rm -f "$FLOW_DESKTOP"/*.lnk "$FLOW_DESKTOP"/*.desktop
}
# A Linux path as Wine's Z: drive sees it.
winepath_of() { local p=$1; echo "Z:${p//\//\\}"; }

# flow_reg_value KEY VALUE [VIEW]: the data of a registry value ("" when missing).
flow_reg_value() {
  "$FLOW_WINE_RUN" reg query "$1" /v "$2" ${3:+/reg:$3} 2>/dev/null | tr -d '\r' |
    awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
# flow_kvdt_get QTOOL_EXE SECTION KEY: a value of the browser's "config.kvdt".
flow_kvdt_get() {
  { "$FLOW_WINE_RUN" "$1" kvdt-get "$(winepath_of "$FLOW_USER_DATA/Default/config.kvdt")" "$2" "$3" 2>/dev/null || true; } |
    tr -d '\r' | head -n 1
}

# --- the installer ----------------------------------------------------------------

# flow_setup_start [ARGS...]: starts Setup.exe; its debugger output goes to a log.
flow_setup_start() {
  flow_kill_setup
  FLOW_RUNS=$((FLOW_RUNS + 1))
  # The pointer where an earlier run left it (over the close button, say) would hover
  # the new window's controls as it shows: parked in the screen's corner.
  xdotool mousemove 0 0 2>/dev/null || true
  FLOW_LOG=$FLOW_WORK/setup-$FLOW_RUNS.log
  FLOW_EXIT=$FLOW_WORK/setup-$FLOW_RUNS.exit
  rm -f "$FLOW_EXIT"
  (
    set +e
    WINEDEBUG=${FLOW_WINEDEBUG:-warn+seh} "$FLOW_WINE_RUN" "$FLOW_SETUP" "$@" >"$FLOW_LOG" 2>&1
    echo $? >"$FLOW_EXIT"
  ) </dev/null >/dev/null 2>&1 &
  FLOW_SETUP_PID=$!
  FLOW_SETUP_STARTED=$(date +%s.%N)
}
flow_kill_setup() {
  if [ -n "${FLOW_SETUP_PID:-}" ] && kill -0 "$FLOW_SETUP_PID" 2>/dev/null; then
    # The Windows process is the subshell's child (wine-run execs Wine's loader).
    local child i
    child=$(pgrep -P "$FLOW_SETUP_PID" || true)
    [ -z "$child" ] || kill $child 2>/dev/null || true
    for i in $(seq 20); do kill -0 "$FLOW_SETUP_PID" 2>/dev/null || break; sleep 0.1; done
    [ -z "$child" ] || kill -9 $child 2>/dev/null || true
    wait "$FLOW_SETUP_PID" 2>/dev/null || true
  fi
  FLOW_SETUP_PID=''
}
# flow_setup_exit SECONDS: waits for Setup.exe to end; prints its exit code.
flow_setup_exit() {
  local i
  for i in $(seq $(($1 * 10))); do
    [ -s "$FLOW_EXIT" ] && { wait "$FLOW_SETUP_PID" 2>/dev/null || true; FLOW_SETUP_PID=''; cat "$FLOW_EXIT"; return 0; }
    sleep 0.1
  done
  fail "Setup.exe did not end within $1 s"
}
# Bytes Setup.exe has written so far (its Linux process's counter): the package's
# data as it arrives, plus small change.
flow_setup_written() {
  local child
  child=$(pgrep -P "$FLOW_SETUP_PID" | head -n 1 || true)
  awk '/^wchar:/ { print $2 }' "/proc/$child/io" 2>/dev/null || echo 0
}
# flow_wait_written BYTES SECONDS: until Setup.exe has written BYTES more than now.
flow_wait_written() {
  local from i now
  from=$(flow_setup_written)
  for i in $(seq $(($2 * 10))); do
    now=$(flow_setup_written)
    [ $((now - from)) -ge "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
# The program's debugger output, one line each.
flow_traces() {
  grep -a 'OutputDebugStringA' "$FLOW_LOG" 2>/dev/null |
    sed -E 's/^[^"]*"//; s/(\\n)?"$//; s/\\"/"/g; s/\\\\/\\/g' || true
}
# The descriptor that decided the race: the first to end complete ("main" or "regional").
flow_winning_descriptor() {
  flow_traces | sed -nE 's/^descriptor (main|regional) ended: success=1 code=0$/\1/p' | head -n 1
}
# (grep reads everything: with pipefail an early exit of grep -q would fail the pipe)
flow_has_trace() { flow_traces | grep -F -- "$1" >/dev/null; }
# flow_wait_trace TEXT [SECONDS]: until a trace line holds TEXT.
flow_wait_trace() {
  local i
  for i in $(seq $((${2:-20} * 10))); do
    flow_has_trace "$1" && return 0
    [ ! -s "$FLOW_EXIT" ] || fail "Setup.exe ended (exit code $(cat "$FLOW_EXIT")) before \"$1\""
    sleep 0.1
  done
  fail "no trace \"$1\" within ${2:-20} s"
}

# The installer window's id and place on the screen, and the shadow frame up too:
# Wine maps the shadow on top at first and only then stacks it under the window, so a
# click before it is up may land on it.
flow_window() {
  local i id shell
  for i in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$FLOW_TITLE\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ] && shell=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null); then
      FLOW_WIN=$id
      eval "$shell"
      FLOW_X=$X FLOW_Y=$Y
      flow_wait_shadow
      return 0
    fi
    sleep 0.1
  done
  fail "no installer window; the screen's windows: $(xwininfo -root -children 2>&1 | sed -n 's/^ *0x/0x/p' | tr '\n' ';')"
}
flow_wait_shadow() {
  local i
  for i in $(seq 50); do
    xdotool search --onlyvisible --classname setup.exe 2>/dev/null | while read -r w; do
      xwininfo -id "$w" 2>/dev/null | awk '/-geometry/ { print $2 }'
    done | grep '^670x420' >/dev/null && { sleep 0.3; return 0; }
    sleep 0.1
  done
  return 0  # a window without a shadow (a skin without one) goes on
}
# Wine may replace the X window behind the installer's (its id then no longer
# answers): it is looked up again.
flow_geometry() {
  local shell
  if ! shell=$(xdotool getwindowgeometry --shell "$FLOW_WIN" 2>/dev/null); then
    flow_window
    return 0
  fi
  eval "$shell"
  FLOW_X=$X FLOW_Y=$Y
}
# flow_click X Y: a real click at a place of the installer window.
flow_click() {
  flow_geometry
  xdotool mousemove $((FLOW_X + $1)) $((FLOW_Y + $2))
  sleep 0.25
  xdotool click 1
  sleep 0.3
}
# The notice dialog ("Notice") and a click on one of its buttons.
flow_notice() {
  local i id
  for i in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name '^Notice$' 2>/dev/null || true); do
      # A window may go between the search and the question for its place.
      if FLOW_NOTICE_PLACE=$(xdotool getwindowgeometry --shell "$id" 2>/dev/null); then
        FLOW_NOTICE=$id
        sleep 0.3
        return 0
      fi
    done
    sleep 0.1
  done
  fail "no notice dialog"
}
flow_notice_click() {
  local X Y
  eval "$FLOW_NOTICE_PLACE"
  xdotool mousemove $((X + $1)) $((Y + $2))
  sleep 0.25
  xdotool click 1
  sleep 0.3
}
# flow_shot PAGE: a screenshot of the whole display, kept as OUT/NAME-PAGE.png.
flow_shot() {
  import -display "$DISPLAY" -window root "$FLOW_OUT/$FLOW_NAME-$1.png"
  echo "screenshot: $FLOW_OUT/$FLOW_NAME-$1.png"
}
# flow_wait_page PAGE [SECONDS]: until the page trace of PAGE (e.g. PageTab_Color).
flow_wait_page() { flow_wait_trace "page: $1" "${2:-30}"; sleep 0.5; }

# flow_install_to_outcome [ARGS...]: starts Setup.exe with ARGS, Install Now on the
# main page, up to the outcome page; a theme page on the way (no theme chosen yet) is
# answered with Done.
flow_install_to_outcome() {
  flow_setup_start "$@"
  flow_window
  flow_wait_page PageTab_Main
  flow_click "${FLOW_INSTALL_NOW[@]}"
  local i
  for i in $(seq 900); do
    flow_has_trace "outcome page:" && break
    if flow_has_trace "page: PageTab_Color" && ! flow_has_trace "page: PageTab_Finished"; then
      sleep 0.5
      flow_click "${FLOW_DONE[@]}"
      flow_wait_trace "page: PageTab_Finished" 10
    fi
    sleep 0.1
  done
  flow_wait_trace "outcome page:" 1
  sleep 0.5
}
# The window's close button on the outcome page; Setup.exe ends with exit code 0.
flow_close_finish_page() {
  flow_click "${FLOW_CLOSE[@]}"
  local rc
  rc=$(flow_setup_exit 30)
  [ "$rc" = 0 ] || fail "exit code $rc after closing the finish page"
}

# --- records --------------------------------------------------------------------

# The last command line each demo program recorded (install folder given as Linux path).
flow_setup_cmdline() { tail -n 1 "$1/setup-commandline.txt" 2>/dev/null | tr -d '\r' || true; }
# The SHA-256 of the program file the package last ran from (the demo's own record).
flow_setup_sha256() { tail -n 1 "$1/setup-sha256.txt" 2>/dev/null | tr -d '\r' || true; }
flow_browser_cmdline() { tail -n 1 "$1/browser-commandline.txt" 2>/dev/null | tr -d '\r' || true; }
flow_lines() { [ -f "$1" ] && grep -c . "$1" || echo 0; }

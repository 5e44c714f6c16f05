#!/usr/bin/env bash
# From process start to the first frame on the screen: Setup.exe's main window
# against a minimal Win32 program that shows a plain 640 x 390 window
# (minimal_window.exe, built in the same tree), under the same Wine on a private X
# display, in the same rounds, with the product API
#  - on a closed port (the connection is refused at once), and
#  - accepting the connection and never answering (the request runs to its 10 s
#    time-out).
# Both programs say "first frame: <form>" on the debugger output when their first
# frame reaches the screen; first_frame.py times that line from the start. The
# wineserver is kept running over the rounds so every start finds Wine warm.
# Medians over the rounds; the figure is Setup.exe's time minus the reference's.
# usage: window_start_vs_minimal.sh WIN64_TREE   (ROUNDS=5)
set -euo pipefail
tree=$(cd "$1" && pwd)
rounds=${ROUNDS:-5}
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
source "$repo/scripts/lib/xdisplay.sh"
ensure_display
wine_run=$tree/wine-run
setup=$tree/Installer/Downloader/Setup.exe
minimal=$tree/benchmarks/wine/minimal_window.exe
export WINEPREFIX=$tree/wineprefix
"$repo/scripts/lib/wine-prefix" "$WINEPREFIX" >/dev/null
work=$(mktemp -d /tmp/qarto-start-bench.XXXXXX)
silent_pid=
cleanup() {
  [ -z "${previous_api+x}" ] || restore_api
  [ -z "$silent_pid" ] || kill "$silent_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
wineserver -p 60  # warm for the whole run

# A loopback port nothing listens on, and a server that accepts and never answers.
closed_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 - "$work/silent.port" <<'PY' &
import socket, sys, time
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(16)
open(sys.argv[1], "w").write(str(server.getsockname()[1]))
held = []
while True:
    connection, _ = server.accept()
    held.append(connection)  # read nothing, answer nothing
PY
silent_pid=$!
for _ in $(seq 50); do [ -s "$work/silent.port" ] && break; sleep 0.1; done
silent_port=$(cat "$work/silent.port")

# use_api URL: the deployment override naming the API host (32-bit registry view);
# the prefix's own value comes back at the end.
override_key='HKLM\SOFTWARE\Qarto Private Browser\InstallerDev'
use_api() {
  "$wine_run" reg add "$override_key" /v ApiHost /t REG_SZ /d "$1" /f /reg:32 >/dev/null 2>&1
}
previous_api=$("$wine_run" reg query "$override_key" /v ApiHost /reg:32 2>/dev/null | tr -d '\r' |
  awk '$1 == "ApiHost" { print $3 }' || true)
restore_api() {
  if [ -n "$previous_api" ]; then use_api "$previous_api"
  else "$wine_run" reg delete "$override_key" /v ApiHost /f /reg:32 >/dev/null 2>&1 || true; fi
}
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
frame() { "$here/first_frame.py" "$wine_run" "$@"; }

# One start of each first: the prefix's first run of Setup.exe installs its font.
use_api "http://127.0.0.1:$closed_port"
frame "$minimal" minimal >/dev/null
frame "$setup" frmZYRDownloader >/dev/null

for api in closed silent; do
  if [ "$api" = closed ]; then use_api "http://127.0.0.1:$closed_port"; else use_api "http://127.0.0.1:$silent_port"; fi
  : >"$work/minimal" >"$work/setup"
  for round in $(seq "$rounds"); do
    m=$(frame "$minimal" minimal)
    s=$(frame "$setup" frmZYRDownloader)
    echo "$m" >>"$work/minimal"
    echo "$s" >>"$work/setup"
    echo "API $api, round $round: minimal window $m s, Setup.exe $s s"
  done
  m=$(median <"$work/minimal")
  s=$(median <"$work/setup")
  python3 -c "import sys; m, s = map(float, sys.argv[2:4]); print(f'API {sys.argv[1]}: median over {sys.argv[4]} rounds: minimal window {m:.3f} s, Setup.exe {s:.3f} s, Setup.exe - minimal {(s - m) * 1000:.0f} ms, ratio {s / m:.2f}')" \
    "$api" "$m" "$s" "$rounds"
done

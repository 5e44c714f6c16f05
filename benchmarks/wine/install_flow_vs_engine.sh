#!/usr/bin/env bash
# The install flow's download against the download engine alone, under Wine on a
# private X display, against the stand-ins on loopback over HTTPS, in the same
# rounds:
#  - engine: `qtool.exe download --md5` of the package from the main descriptor's
#    address: its own transfer time ("time download_s", first request to last
#    byte) and its process wall time (Wine's start, the transfer, the MD5);
#  - flow: `Setup.exe` clicked through with real input. From the download page
#    (shown by the click on "Install Now") to the trace "package download ended":
#    the descriptor race, then the package (probe, four parts, MD5 check). Times
#    come from Wine's own time stamps on the debugger output, so nothing polls
#    while the transfer runs. And the whole run from process start to exit (main
#    page, download, the package's own run, theme page, success page, Run Now, the
#    final pause), by the clock here.
# Medians over the rounds; the ratio of the flow's package download to the engine's
# transfer shows what the window adds around the engine (progress, repaints).
# usage: install_flow_vs_engine.sh WIN64_TREE
#   ROUNDS=3, PACKAGE_MIB=100, SETUP_SECONDS=1 (the demo package's own run)
set -euo pipefail
tree=$(cd "$1" && pwd)
rounds=${ROUNDS:-3}
package_mib=${PACKAGE_MIB:-100}
qtool=$tree/tools/qtool/qtool.exe
source "$(dirname "$0")/../../tests/e2e/flow_lib.sh"
flow_init "$tree/wine-run" "$tree/Installer/Downloader/Setup.exe" "$tree/flow-bench" flow-bench
flow_standins_start --package-mib "$package_mib" --setup-seconds "${SETUP_SECONDS:-1}"
echo "package: $PACKAGE_SIZE bytes over HTTPS from $MAIN_PACKAGE_URL"

now() { date +%s.%N; }
since() { python3 -c "import sys; print(f'{float(sys.argv[2]) - float(sys.argv[1]):.2f}')" "$1" "$2"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# stamp PATTERN: Wine's time stamp (seconds) of the first trace line matching PATTERN.
stamp() {
  grep -a 'OutputDebugStringA' "$FLOW_LOG" | grep -aE -- "$1" | head -n 1 | sed -E 's/^([0-9]+\.[0-9]+):.*/\1/'
}
# wait_quietly TEXT SECONDS: like flow_wait_trace, looking twice a second only.
wait_quietly() {
  local end=$((SECONDS + $2))
  while [ $SECONDS -lt "$end" ]; do
    grep -aqF -- "$1" "$FLOW_LOG" && return 0
    [ ! -s "$FLOW_EXIT" ] || fail "Setup.exe ended before \"$1\""
    sleep 0.5
  done
  fail "no trace \"$1\" within $2 s"
}
export FLOW_WINEDEBUG=warn+seh,+timestamp

engine_out=$FLOW_WORK/engine.bin
: >"$FLOW_WORK/engine-transfer" >"$FLOW_WORK/engine-wall" >"$FLOW_WORK/flow-descriptor" >"$FLOW_WORK/flow-package"
: >"$FLOW_WORK/flow-download" >"$FLOW_WORK/flow-whole"
for round in $(seq "$rounds"); do
  rm -f "$engine_out" "$engine_out.dat"
  t0=$(now)
  "$FLOW_WINE_RUN" "$qtool" download --md5 "$PACKAGE_MD5" "$MAIN_PACKAGE_URL" "$(winepath_of "$engine_out")" \
    >"$FLOW_WORK/engine.log" 2>&1 || { cat "$FLOW_WORK/engine.log" >&2; fail "qtool download failed"; }
  t1=$(now)
  grep -q "result success=1 code=0 bytes=$PACKAGE_SIZE md5=$PACKAGE_MD5" "$FLOW_WORK/engine.log" || fail "qtool: wrong result"
  transfer=$(sed -n 's/^time download_s=//p' "$FLOW_WORK/engine.log" | tr -d '\r')
  since "$t0" "$t1" >>"$FLOW_WORK/engine-wall"
  echo "$transfer" >>"$FLOW_WORK/engine-transfer"
  rm -f "$engine_out" "$engine_out.dat"

  flow_reset
  flow_setup_start
  started=$FLOW_SETUP_STARTED
  flow_window
  flow_wait_page PageTab_Main
  flow_click "${FLOW_INSTALL_NOW[@]}"
  wait_quietly "package download ended: success=1 code=0" 120
  flow_wait_page PageTab_Color 60
  flow_click "${FLOW_DONE[@]}"
  flow_wait_trace "outcome page: success" 20
  sleep 0.5
  flow_click "${FLOW_INSTALL_NOW[@]}"  # "Run Now"
  rc=$(flow_setup_exit 30)
  [ "$rc" = 0 ] || fail "exit code $rc"
  ended=$(now)
  page=$(stamp "page: PageTab_Download")
  descriptor=$(stamp "descriptor (main|regional) ended: success=1")
  downloaded=$(stamp "package download ended: success=1")
  since "$page" "$descriptor" >>"$FLOW_WORK/flow-descriptor"
  since "$descriptor" "$downloaded" >>"$FLOW_WORK/flow-package"
  since "$page" "$downloaded" >>"$FLOW_WORK/flow-download"
  since "$started" "$ended" >>"$FLOW_WORK/flow-whole"
  echo "round $round: engine transfer ${transfer} s, engine process $(tail -n 1 "$FLOW_WORK/engine-wall") s;" \
    "flow download $(tail -n 1 "$FLOW_WORK/flow-download") s (descriptors $(tail -n 1 "$FLOW_WORK/flow-descriptor") s," \
    "package $(tail -n 1 "$FLOW_WORK/flow-package") s), whole flow $(tail -n 1 "$FLOW_WORK/flow-whole") s"
  sleep "$QARTO_DEMO_BROWSER_SECONDS"  # the demo browser closes its window
done

engine_transfer=$(median <"$FLOW_WORK/engine-transfer")
engine_wall=$(median <"$FLOW_WORK/engine-wall")
flow_descriptor=$(median <"$FLOW_WORK/flow-descriptor")
flow_package=$(median <"$FLOW_WORK/flow-package")
flow_download=$(median <"$FLOW_WORK/flow-download")
flow_whole=$(median <"$FLOW_WORK/flow-whole")
echo "median over $rounds rounds, $package_mib MiB:"
echo "  engine transfer (qtool, time download_s)       $engine_transfer s"
echo "  engine process (qtool wall: Wine start, MD5)   $engine_wall s"
echo "  flow: descriptor race (download page shown to main descriptor in)  $flow_descriptor s"
echo "  flow: package (descriptor in to package checked)                   $flow_package s"
echo "  flow: download page to package checked                            $flow_download s"
echo "  whole flow (process start to exit)                                 $flow_whole s"
python3 -c "import sys; print(f'ratio flow package / engine transfer: {float(sys.argv[1]) / float(sys.argv[2]):.2f}')" \
  "$flow_package" "$engine_transfer"

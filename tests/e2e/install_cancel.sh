#!/usr/bin/env bash
# Cancelling during the package download, and resuming it in the next run:
#  - "Cancel" pauses the download and asks; "No" lets it go on;
#  - "Cancel" again, "Yes": exit code 0, the installer shortcut on the desktop, the
#    partial package and its state file kept in the download folder;
#  - the next run (from "Install Now") asks the download server only for the bytes
#    the state file does not hold, verifies the whole package and installs it.
# The download server is slowed down so that there is time to cancel. Screenshots
# of the download page and the cancel question in OUT_DIR (install-cancel-*.png).
# usage: install_cancel.sh WINE_RUN SETUP_EXE QTOOL_EXE OUT_DIR
set -euo pipefail
source "$(dirname "$0")/flow_lib.sh"
flow_init "$1" "$2" "$4" install-cancel
mib=32

flow_reset
flow_standins_start --rate 1000000 --package-mib $mib --setup-seconds 1

# --- the first run: cancel, "No", cancel, "Yes" --------------------------------------
flow_setup_start
flow_window
flow_wait_page PageTab_Main
flow_click "${FLOW_INSTALL_NOW[@]}"
flow_wait_page PageTab_Download 10
flow_wait_written 3000000 20 || fail "the package download did not start"
flow_shot download
flow_click "${FLOW_CANCEL[@]}"
flow_notice
flow_shot cancel-question
# While the question is open the download is paused: the parts wind down.
sleep 1
paused_from=$(flow_setup_written)
sleep 1
paused=$(($(flow_setup_written) - paused_from))
[ "$paused" -lt 500000 ] || fail "$paused bytes arrived within a second while the question was open"
ok "paused while the question is open ($paused bytes in a second)"
flow_notice_click "${FLOW_NOTICE_NO[@]}"
flow_wait_written 2000000 10 || fail "the download did not go on after \"No\""
ok "the download goes on after \"No\""
! flow_has_trace "package download ended" || fail "the download ended before the second cancel; too fast a server"
flow_click "${FLOW_CANCEL[@]}"
flow_notice
flow_notice_click "${FLOW_NOTICE_YES[@]}"
rc=$(flow_setup_exit 20)
[ "$rc" = 0 ] || fail "exit code $rc after cancelling"
ok "cancelled with exit code 0"

[ -e "$FLOW_DESKTOP/$FLOW_PRODUCT Installer.lnk" ] || fail "no installer shortcut on the desktop after cancelling"
[ -f "$FLOW_DOWNLOAD_DIR/ZYR_Setup.exe" ] || fail "the partial package is gone"
state=$FLOW_DOWNLOAD_DIR/ZYR_Setup.exe.dat
[ -f "$state" ] || fail "the state file is gone"
saved=$(tr -d '\r' <"$state" | awk -F= '$1 == "DownloadedSize" { print $2 }')
[ -n "$saved" ] && [ "$saved" -gt 0 ] && [ "$saved" -lt "$PACKAGE_SIZE" ] ||
  fail "the state file records $saved of $PACKAGE_SIZE bytes"
grep -q "DownloadConfigMD5=$PACKAGE_MD5" <(tr -d '\r' <"$state") || fail "the state file does not name the package's MD5"
ok "partial package kept: $saved of $PACKAGE_SIZE bytes"
[ ! -e "$FLOW_DEFAULT_INSTALL/setup-commandline.txt" ] || fail "the package ran although the installation was cancelled"
requests_before=$(flow_package_requests | wc -l)
ranged_before=$("$flow_repo/tools/standins/standins.sh" bytes "$FLOW_STANDINS" --ranged)

# --- the next run resumes ---------------------------------------------------------
t0=$SECONDS
flow_setup_start
flow_window
flow_wait_page PageTab_Main
flow_click "${FLOW_INSTALL_NOW[@]}"
flow_wait_page PageTab_Color 90
flow_has_trace "package download ended: success=1 code=0 size=$PACKAGE_SIZE" || fail "the resumed package was not verified whole"
flow_click "${FLOW_DONE[@]}"
flow_wait_trace "outcome page: success" 20
flow_click "${FLOW_CLOSE[@]}"
rc=$(flow_setup_exit 30)
[ "$rc" = 0 ] || fail "exit code $rc after the resumed installation"
ok "the resumed installation ended with exit code 0 after $((SECONDS - t0)) s"

# What the second run fetched: ranged answers only (besides the probe that opens a
# download), whose bodies add up to the bytes the state file did not hold.
second=$(flow_package_requests | tail -n +$((requests_before + 1)))
echo "$second"
fetched=$(($("$flow_repo/tools/standins/standins.sh" bytes "$FLOW_STANDINS" --ranged) - ranged_before))
[ "$fetched" = $((PACKAGE_SIZE - saved)) ] ||
  fail "the second run fetched $fetched bytes in ranges; $((PACKAGE_SIZE - saved)) were missing"
grep '"bytes=0-' <<<"$second" >/dev/null && fail "the second run fetched a part from its beginning again"
ok "the second run fetched only the missing $fetched bytes"
[ -f "$FLOW_DEFAULT_INSTALL/QartoBrowser.exe" ] || fail "the resumed installation installed nothing"
[ ! -e "$FLOW_DESKTOP/$FLOW_PRODUCT Installer.lnk" ] || fail "the installer shortcut remains after the installation"
echo "PASS"

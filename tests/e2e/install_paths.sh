#!/usr/bin/env bash
# The install flow's other paths, clicked through with real input:
#  1. the options page with a typed folder and the desktop icon off: the package
#     receives that folder and an empty task list, no desktop icon is made;
#  2. the main update server down: the regional descriptor decides; both down: the
#     package comes from the built-in address (unverified, still installed);
#  3. a package whose MD5 does not match the descriptor's, and a package that fails
#     when run: the failure page; its close button ends with exit code 0 and leaves
#     the installer shortcut.
# Screenshots in OUT_DIR (install-paths-*.png).
# usage: install_paths.sh WINE_RUN SETUP_EXE QTOOL_EXE OUT_DIR
set -euo pipefail
source "$(dirname "$0")/flow_lib.sh"
flow_init "$1" "$2" "$4" install-paths
typed_linux="$FLOW_PREFIX/drive_c/Qarto Typed/Browser Here"
typed_windows='C:\Qarto Typed\Browser Here'

# --- 1. options page: typed folder, no desktop icon ---------------------------------
flow_reset
rm -rf "$FLOW_PREFIX/drive_c/Qarto Typed"
flow_standins_start --setup-seconds 1
flow_setup_start
flow_window
flow_wait_page PageTab_Main
flow_click "${FLOW_CUSTOMIZE[@]}"
flow_wait_page PageTab_InstallOption 5
flow_click "${FLOW_PATH_EDIT[@]}"
xdotool key End shift+Home BackSpace
xdotool type --delay 20 "$typed_windows"
flow_click "${FLOW_DESKTOP_ICON[@]}"
flow_shot options-typed
flow_click "${FLOW_INSTALL_NOW[@]}"  # "Install" on the options page
flow_wait_page PageTab_Color 60
flow_click "${FLOW_DONE[@]}"
flow_wait_trace "outcome page: success" 20
flow_close_finish_page
install="$typed_linux/Qarto Private Browser"
setup_line=$(flow_setup_cmdline "$install")
[[ $setup_line == *"/DIR=\"$typed_windows\\Qarto Private Browser\" /TASKS=\"\" /CreateTaskbar" ]] ||
  fail "package command line for the typed folder: '$setup_line'"
ok "package command line: $setup_line"
[ ! -e "$FLOW_DESKTOP/$FLOW_PRODUCT.lnk" ] || fail "a desktop icon although the option was off"
[ -e "$FLOW_TASKBAR_LINK" ] || fail "no taskbar shortcut although that option stayed on"

# --- 2. descriptor servers down ----------------------------------------------------
flow_standins_stop main
flow_install_to_outcome
flow_has_trace "descriptor main ended: success=0" || fail "the main descriptor did not fail with its server down"
flow_has_trace "outcome page: success" || fail "no success with the regional descriptor"
flow_package_requests | tail -n 1 | grep 'from=regional' >/dev/null || fail "the package was not fetched from the regional descriptor's address"
flow_close_finish_page
ok "main server down: the regional descriptor decided"

flow_standins_stop regional
flow_install_to_outcome
flow_has_trace "descriptor regional ended: success=0" || fail "the regional descriptor did not fail with its server down"
flow_has_trace "package download ended: success=1 code=6" || fail "the built-in address did not give an unverified package"
flow_has_trace "outcome page: success" || fail "no success with the built-in package address"
flow_package_requests | tail -n 1 | grep ' /dl/qarto-private-browser-setup.exe ' >/dev/null ||
  fail "the package was not fetched from the built-in address"
flow_close_finish_page
ok "both down: the built-in package address was used"

# --- 3. failures: wrong MD5, failing package ------------------------------------------
for mode in bad-md5 failing-package; do
  flow_reset
  flow_standins_start --$mode --setup-seconds 1
  flow_install_to_outcome
  flow_has_trace "outcome page: failure" || fail "$mode: no failure page"
  flow_shot "failure-$mode"
  if [ $mode = bad-md5 ]; then
    # The download ends unverified (code 4); a package that does not match the
    # descriptor's MD5 is never run.
    flow_has_trace "package download ended: success=1 code=4" || fail "bad-md5: the download did not end unverified"
    [ ! -e "$FLOW_DEFAULT_INSTALL/setup-commandline.txt" ] || fail "bad-md5: the package ran"
  else
    [ -e "$FLOW_DEFAULT_INSTALL/setup-commandline.txt" ] || fail "failing-package: the package did not run"
    # The theme question comes first at a first installation, whatever the outcome.
    flow_has_trace "page: PageTab_Color" || fail "failing-package: no theme page at a first installation"
  fi
  flow_click "${FLOW_INSTALL_NOW[@]}"  # the failure page's "Close"
  rc=$(flow_setup_exit 15)
  [ "$rc" = 0 ] || fail "$mode: exit code $rc after the failure page's close button"
  [ -e "$FLOW_DESKTOP/$FLOW_PRODUCT Installer.lnk" ] || fail "$mode: no installer shortcut after the failure page"
  ok "$mode: failure page, closed with exit code 0, installer shortcut left"
done
echo "PASS"

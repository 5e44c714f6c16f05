#!/usr/bin/env bash
# What a standard user can plant or type never decides what the elevated installer
# runs, end to end with real files (Setup.exe copied into a folder of its own, as a
# download would be):
#  1. no test hooks: "test.ini" in the download folder (descriptor, package and MD5
#     on a planted server) and "Testupdate.ini" beside Setup.exe (the API on it) are
#     left unread, one trace line each; the planted server hears nothing, and the
#     package that runs is the very file the stand-ins served (its SHA-256, from the
#     demo package's own record). /insur=abc" /DIR="C:\evil is dropped: the package
#     gets its usual switches and reads no install source;
#  2. TestHooks = "1" (the administrator's consent): the same files count, the
#     planted descriptor, package and API are asked for, and the planted package is
#     what runs. /insur="a b /LOG" is dropped too;
#  3. both descriptors naming a program on the machine's own drive (file://, with its
#     MD5): it never runs.
# Wine hands each argument over as one (quoted as needed), so the /insur= values
# reach the installer with their blanks and quotes. Screenshots in OUT_DIR
# (install-hostile-*.png).
# usage: install_hostile.sh WINE_RUN SETUP_EXE QTOOL_EXE OUT_DIR
set -euo pipefail
source "$(dirname "$0")/flow_lib.sh"
source "$flow_repo/tools/testserver/lib.sh"
flow_init "$1" "$2" "$4" install-hostile
install=$FLOW_DEFAULT_INSTALL
override_key='HKLM\SOFTWARE\Qarto Private Browser\InstallerDev'
want_switches='/sp- /verysilent /suppressmsgboxes /NORESTART /DIR="C:\Program Files\Qarto Private Browser" /TASKS="desktopicon" /CreateTaskbar'
want_read='dir=C:\Program Files\Qarto Private Browser\ desktopicon=1 taskbar=1 bookmark=0 insur='
planted_drive_dir=$FLOW_PREFIX/drive_c/qarto-planted

# Setup.exe in a folder its user owns, where "Testupdate.ini" is planted beside it.
mkdir -p "$FLOW_WORK/Downloads"
cp "$2" "$FLOW_WORK/Downloads/Setup.exe"
FLOW_SETUP=$FLOW_WORK/Downloads/Setup.exe

# The planted server: a plain HTTP server whose log lists every request it hears.
planted_root=$FLOW_WORK/planted
planted_log=$FLOW_WORK/planted.log
mkdir -p "$planted_root"
planted_port=$(free_ports 1)
setsid python3 -u -m http.server "$planted_port" --bind 127.0.0.1 --directory "$planted_root" \
  </dev/null >"$planted_log" 2>&1 &
planted_pid=$!
hostile_cleanup() {
  stop_pid "$planted_pid" http.server
  rm -rf "$planted_drive_dir"
}
FLOW_AT_EXIT=hostile_cleanup
wait_port "$planted_port" "$planted_pid" 10 || fail "the planted server did not start"
planted=http://127.0.0.1:$planted_port
planted_requests() { grep -E '"(GET|HEAD|POST) ' "$planted_log" || true; }

# The planted package: the demo package with a settings trailer of its own, so its
# bytes (and SHA-256) differ from the stand-ins' package (started with 2 seconds).
# A signature must end the file: the trailer goes before it, and the test publisher
# signs it again (the test build pins that publisher; with the test hooks a test
# package comes from such a build too).
planted_package=$planted_root/ZYR_Setup.exe
osslsigncode remove-signature -in "$FLOW_TREE/tools/demo/DemoSetup.exe" -out "$planted_package" >/dev/null ||
  fail "could not take the demo package's signature off"
printf '\nQARTO-DEMO-SETUP seconds=1 fail=0\n' >>"$planted_package"
"$flow_repo/tools/signing/sign-test.sh" "$planted_package" "$planted_package" >/dev/null ||
  fail "could not sign the planted package"
planted_md5=$(md5sum "$planted_package" | cut -d' ' -f1)
planted_sha=$(sha256sum "$planted_package" | cut -d' ' -f1)
printf '[Option]\r\nURL=%s\r\nMD5=%s\r\n' "$planted/ZYR_Setup.exe?from=planted-descriptor" "$planted_md5" \
  >"$planted_root/planted.upt"

# plant: "test.ini" in the download folder (made by the user before the installer),
# "Testupdate.ini" beside Setup.exe.
plant() {
  mkdir -p "$FLOW_DOWNLOAD_DIR"
  printf '[Test]\r\nUPT_URL=%s\r\nZYR_URL=%s\r\nMD5=%s\r\n' "$planted/planted.upt" \
    "$planted/ZYR_Setup.exe?from=test-ini" "$planted_md5" >"$FLOW_DOWNLOAD_DIR/test.ini"
  printf '[api-test]\r\nURL=%s\r\n' "$planted/api/" >"$FLOW_WORK/Downloads/Testupdate.ini"
}
base_info_calls() { flow_api_requests | grep -o '"kind": *"base-info"' | grep -c . || true; }
demo_record() { flow_reg_value 'HKCU\Software\Qarto Demo Package' "$1"; }

# check_package SHA256: the package ran from the download folder with
# the usual switches and nothing else, read no install source, and was the file SHA256.
check_package() {
  local line
  line=$(flow_setup_cmdline "$install")
  [ "$line" = "\"C:\\ProgramData\\$FLOW_PRODUCT\\Downloader\\ZYR_Setup.exe\" $want_switches" ] ||
    fail "package command line: $line"
  [ "$(demo_record SetupSwitches)" = "$want_read" ] || fail "the package read its switches as: $(demo_record SetupSwitches)"
  [ "$(demo_record SetupResult)" = installed ] || fail "package result: $(demo_record SetupResult)"
  [ "$(flow_setup_sha256 "$install")" = "$1" ] ||
    fail "the package that ran has SHA-256 $(flow_setup_sha256 "$install"), expected $1"
  flow_has_trace '/insur= dropped' || fail "no trace of the dropped /insur= value"
  [ ! -e "$FLOW_PREFIX/drive_c/evil" ] || fail "a folder C:\\evil exists"
  ok "package: $line; read as: $want_read; SHA-256 $1"
}

# --- 1. no test hooks: the planted files are left unread ---------------------------------
flow_reset
flow_standins_start --setup-seconds 2
served_sha=$(sha256sum "$PACKAGE_FILE" | cut -d' ' -f1)
[ "$served_sha" != "$planted_sha" ] || fail "the planted package is the stand-ins' package"
[ -z "$(flow_reg_value "$override_key" TestHooks 32)" ] || fail "TestHooks is set before the run without it"
plant
t0=$SECONDS
flow_install_to_outcome '/insur=abc" /DIR="C:\evil'
flow_shot no-hooks
flow_has_trace "outcome page: success" || fail "no hooks: no success page"
flow_close_finish_page
ok "no hooks: installed in $((SECONDS - t0)) s"
flow_has_trace "test.ini ignored: test hooks are off" || fail "no trace of the ignored test.ini"
flow_has_trace "Testupdate.ini ignored: test hooks are off" || fail "no trace of the ignored Testupdate.ini"
[ -z "$(planted_requests)" ] || fail "the planted server was asked: $(planted_requests)"
[ "$(base_info_calls)" -ge 1 ] || fail "the API stand-in heard no base-info call"
[ -n "$(flow_package_requests)" ] || fail "the stand-ins' package was not fetched"
check_package "$served_sha"
ok "no hooks: the planted files were ignored; the stand-ins' package ran"

# --- 2. TestHooks = "1": the same files count ------------------------------------------
flow_reset
"$FLOW_WINE_RUN" reg add "$override_key" /v TestHooks /d 1 /f /reg:32 >/dev/null 2>&1 || fail "could not set TestHooks"
plant
base_before=$(base_info_calls)
package_before=$(flow_package_requests | grep -c . || true)
t0=$SECONDS
flow_install_to_outcome '/insur="a b /LOG"'
flow_shot hooks
flow_has_trace "outcome page: success" || fail "hooks: no success page"
flow_close_finish_page
ok "hooks: installed in $((SECONDS - t0)) s"
! flow_has_trace "ignored: test hooks are off" || fail "a test file was ignored with the test hooks on"
for request in '"GET /planted.upt ' '"GET /ZYR_Setup.exe?from=test-ini ' '"POST /api/base-info/info '; do
  planted_requests | grep -F -- "$request" >/dev/null || fail "the planted server never heard $request; it heard: $(planted_requests)"
done
[ "$(base_info_calls)" = "$base_before" ] || fail "the API stand-in was asked although Testupdate.ini names another"
[ "$(flow_package_requests | grep -c . || true)" = "$package_before" ] ||
  fail "the stand-ins' package was fetched although test.ini names another"
check_package "$planted_sha"
ok "hooks: planted descriptor, package and API asked for; the planted package ran"

# --- 3. descriptors naming a program on the machine's own drive ---------------------------
flow_reset
mkdir -p "$planted_drive_dir"
cp "$planted_package" "$planted_drive_dir/DemoSetup.exe"
flow_standins_start --setup-seconds 2 --package-url 'file:///C:/qarto-planted/DemoSetup.exe' \
  --descriptor-md5 "$planted_md5"
[ -z "$(flow_reg_value "$override_key" TestHooks 32)" ] || fail "TestHooks outlived the stand-ins' restart"
served_sha=$(sha256sum "$PACKAGE_FILE" | cut -d' ' -f1)
t0=$SECONDS
flow_install_to_outcome
flow_shot file-url
outcome=$(flow_traces | sed -n 's/^outcome page: \([a-z]*\).*/\1/p' | head -n 1)
[ -n "$(flow_winning_descriptor)" ] || fail "file://: no descriptor arrived complete"
sha=$(flow_setup_sha256 "$install")
case $outcome in
failure)
  flow_has_trace "package download ended: success=0" || fail "file://: a failure page without a failed download"
  [ -z "$sha" ] && [ -z "$(demo_record SetupCommandLine)" ] ||
    fail "file://: a package ran before the failure page ($sha, $(demo_record SetupCommandLine))"
  flow_click "${FLOW_INSTALL_NOW[@]}"  # the failure page's "Close"
  rc=$(flow_setup_exit 15)
  [ "$rc" = 0 ] || fail "file://: exit code $rc after the failure page's close button"
  ;;
success)
  # The built-in address instead: only the stand-ins' package may have run.
  [ "$sha" = "$served_sha" ] || fail "file://: the package that ran has SHA-256 $sha"
  flow_close_finish_page
  ;;
*) fail "file://: outcome '$outcome'" ;;
esac
ok "file://: $outcome page after $((SECONDS - t0)) s; the planted program never ran"
echo "PASS"

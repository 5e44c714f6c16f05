#!/usr/bin/env bash
# The product services of the Windows build (qtool.exe under Wine) against the real
# registry of the tree's prefix and the API stand-in: the machine identity and its
# repair from either side, default-browser detection on the Windows 10 and Windows 7
# paths, the browser probe, and the deployment override of the API's address (HTTP,
# and HTTPS verified against the prefix's root store).
# usage: services_win_test.sh WINE_RUN QTOOL_EXE TRUSTCA_EXE APISERVER_DIR
set -uo pipefail
wine_run=$1 qtool_exe=$2 trustca_exe=$3 apiserver=$4
work=$(mktemp -d)

reg() { "$wine_run" reg "$@" >/dev/null 2>&1; }
qtool() { "$wine_run" "$qtool_exe" "$@" 2>/dev/null | tr -d '\r'; }
line() { sed -n "s/^$1=//p" | head -n1; }
result() { sed -n 's/^result //p'; }
unix_path() { "$wine_run" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
reg_value() {  # reg_value KEY NAME VIEW: the value's data, "" when missing
  "$wine_run" reg query "$1" /v "$2" "$3" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"
}
failures=0 checks=0
check() {  # check NAME EXPECTED ACTUAL
  checks=$((checks + 1))
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}

class_key='HKCR\CLSID\{1448035D-2AAB-4749-825E-212695AF6E55}'
dev_key='HKLM\SOFTWARE\Qarto Private Browser\InstallerDev'
user_choice='HKCU\Software\Microsoft\Windows\Shell\Associations\UrlAssociations\http\UserChoice'
app_defaults='HKCU\Software\Wine\AppDefaults\qtool.exe'
uninstall='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Qarto Private Browser_is1'
test_root='C:\QartoTest'
test_file=$(dirname "$qtool_exe")/Testupdate.ini

# What this test sets up, and what an installation of the demo browser by an
# earlier test in the prefix leaves (its registration as the user's browser), which
# would answer the default-browser questions here.
clear_state() {
  reg delete "$class_key" /f /reg:32
  reg delete "$dev_key" /f /reg:32
  reg delete "$dev_key" /f /reg:64
  reg delete "$user_choice" /f
  reg delete 'HKCU\Software\Classes\QartoTestHTML' /f
  reg delete 'HKCU\Software\Classes\AppXq0fevzme2pys62n3e0fbqa7peapykr8v' /f
  reg delete "$app_defaults" /f
  reg delete 'HKCU\SOFTWARE\Clients\StartMenuInternet' /f
  reg delete 'HKLM\SOFTWARE\Clients\StartMenuInternet\QartoTest' /f /reg:32
  reg delete "$uninstall" /f /reg:32
  reg delete 'HKCU\Software\Microsoft\Windows\Shell\Associations\UrlAssociations\https\UserChoice' /f
  reg delete 'HKCU\Software\Classes\QartoBrowserURL' /f
  reg delete 'HKCU\Software\RegisteredApplications' /v "Qarto Private Browser" /f
  [ -n "${root_unix:-}" ] && rm -rf "$root_unix"
  [ -n "${id_unix:-}" ] && rm -f "$id_unix"
  rm -f "$test_file"
}
cleanup() {
  "$apiserver/apictl.sh" stop "$work/api" >/dev/null 2>&1
  clear_state
  rm -rf "$work"
}
trap cleanup EXIT
clear_state

"$apiserver/apictl.sh" start "$work/api" >/dev/null || { echo "FAIL the API stand-in did not start"; exit 1; }
http=http://127.0.0.1:$(sed -n 's/^HTTP_PORT=//p' "$work/api/api.env")
https=https://localhost:$(sed -n 's/^HTTPS_PORT=//p' "$work/api/api.env")
requests() { curl -s "$http/_requests"; }
configure() { curl -s "$http/_reset" >/dev/null && curl -s "$http/_config?$1" >/dev/null; }
request_summary() {  # the recorded requests as "kind:ok:path" lines ("error" if unreadable)
  requests | python3 -c 'import json,sys
for r in json.load(sys.stdin): print(":".join([r["kind"], str(r["ok"]), r["path"]]), *r["errors"])' ||
    echo error
}
"$wine_run" "$trustca_exe" "$work/api/ca.pem" >/dev/null 2>&1 || { echo "FAIL cannot trust the test authority"; exit 1; }
root_unix=$(unix_path "$test_root")
mkdir -p "$root_unix"

# ---- machine identity: a first run starts from the machine GUID (64-bit view)
reg delete "$class_key" /f /reg:32
out=$(qtool machine-id)
id_file=$(line identity_file <<<"$out")
id_unix=$(unix_path "$id_file")
rm -f "$id_unix"
out=$(qtool machine-id)
guid=$(reg_value 'HKLM\SOFTWARE\Microsoft\Cryptography' MachineGuid /reg:64 | tr 'A-F' 'a-f')
app_id=$(line AppID <<<"$out")
device=$(result <<<"$out" | sed -n 's/^device_id=//p')
check "first run: AppID is the machine GUID in lower case" "$guid" "$app_id"
check "device id is the MD5 of the AppID" "$(printf '%s' "$app_id" | md5sum | cut -d' ' -f1)" "$device"
check "AppID in the 32-bit class key" "$app_id" "$(reg_value "$class_key" AppID /reg:32)"
check "not in the 64-bit view's class key" "" "$(reg_value "$class_key" AppID /reg:64)"
check "identity file holds MachineID" "$app_id" "$(qtool kvdt-get "$id_file" main MachineID | head -n1)"
check "identity file holds MachineKey" "$(reg_value "$class_key" AppKey /reg:32)" \
  "$(qtool kvdt-get "$id_file" main MachineKey | head -n1)"
check "second run: same device id" "device_id=$device" "$(qtool machine-id | result)"

# Repair from either side, with an identity that is not the machine GUID.
reg add "$class_key" /v AppID /d 0a1b2c3d4e5f60718293a4b5c6d7e8f9 /f /reg:32
qtool machine-id >/dev/null
rm -f "$id_unix"
out=$(qtool machine-id)
check "lost file: rewritten from the registry" "0a1b2c3d4e5f60718293a4b5c6d7e8f9" \
  "$(qtool kvdt-get "$id_file" main MachineID | head -n1)"
check "lost file: device id kept" "device_id=$(printf 0a1b2c3d4e5f60718293a4b5c6d7e8f9 | md5sum | cut -d' ' -f1)" \
  "$(result <<<"$out")"
reg delete "$class_key" /v AppID /f /reg:32
out=$(qtool machine-id)
check "lost registry value: taken from the file" "0a1b2c3d4e5f60718293a4b5c6d7e8f9" \
  "$(reg_value "$class_key" AppID /reg:32)"
check "lost registry value: device id kept" \
  "device_id=$(printf 0a1b2c3d4e5f60718293a4b5c6d7e8f9 | md5sum | cut -d' ' -f1)" "$(result <<<"$out")"

# ---- default browser, Windows 10: the user's choice
mkdir -p "$root_unix/Qarto Private Browser" "$root_unix/Chrome"
touch "$root_unix/Qarto Private Browser/QartoBrowser.exe" "$root_unix/Chrome/chrome.exe"
own="$test_root\\Qarto Private Browser\\QartoBrowser.exe"
chrome="$test_root\\Chrome\\chrome.exe"
command_key='HKCU\Software\Classes\QartoTestHTML\shell\open\command'
reg add "$user_choice" /v ProgID /d QartoTestHTML /f
reg add "$command_key" /ve /d "\"$own\" -- \"%1\"" /f
check "Windows 10: own browser" "kind=bkOwn" "$(qtool default-browser | result)"
check "Windows 10: another own name" "kind=bkOther" "$(qtool default-browser Other.exe | result)"
reg add "$command_key" /ve /d "\"$chrome\" --single-argument %1" /f
check "Windows 10: Chrome" "kind=bkChrome" "$(qtool default-browser | result)"
reg add "$command_key" /ve /d "$chrome --single-argument %1" /f
check "Windows 10: unquoted command with arguments" "kind=bkOther" "$(qtool default-browser | result)"
reg add "$user_choice" /v ProgID /d AppXq0fevzme2pys62n3e0fbqa7peapykr8v /f
reg add 'HKCU\Software\Classes\AppXq0fevzme2pys62n3e0fbqa7peapykr8v\Application' /v AppUserModelID \
  /d 'Microsoft.MicrosoftEdge_8wekyb3d8bbwe!MicrosoftEdge' /f
check "Windows 10: Edge (legacy)" "kind=bkEdgeLegacy" "$(qtool default-browser | result)"
reg delete "$user_choice" /f
check "Windows 10 without a user choice: the default" "kind=bkOther" "$(qtool default-browser | result)"
# Windows 10 keeps no reliable answer in the http command keys: qtool declares the
# same systems as Setup.exe in its manifest, so it is told Windows 10 and gives the
# caller's default, as the installer does (told Windows 8, it would read this key).
reg add 'HKCU\Software\Classes\http\shell\open\command' /ve /d '"C:\Firefox\firefox.exe" -url "%1"' /f
check "Windows 10 ignores the http command keys" "kind=bkOther" "$(qtool default-browser | result)"
reg delete 'HKCU\Software\Classes\http\shell\open\command' /f

# ---- default browser, Windows 7: StartMenuInternet, the machine's in the 32-bit view
reg add "$app_defaults" /v Version /d win7 /f
reg add 'HKLM\SOFTWARE\Clients\StartMenuInternet\QartoTest\shell\open\command' /ve /d "\"$own\"" /f /reg:32
reg add 'HKCU\SOFTWARE\Clients\StartMenuInternet' /ve /d QartoTest /f
check "Windows 7: per-user client, machine command" "kind=bkOwn" "$(qtool default-browser | result)"
reg add 'HKCU\SOFTWARE\Clients\StartMenuInternet\QartoTest\shell\open\command' /ve /d "\"$chrome\"" /f
check "Windows 7: per-user command wins" "kind=bkChrome" "$(qtool default-browser | result)"
reg delete 'HKCU\SOFTWARE\Clients\StartMenuInternet' /f
reg add "$user_choice" /v ProgID /d QartoTestHTML /f
reg add "$command_key" /ve /d "\"$chrome\"" /f
check "Windows 7 without StartMenuInternet: the user's choice last" "kind=bkChrome" "$(qtool default-browser | result)"
reg delete "$app_defaults" /f
reg delete "$user_choice" /f

# ---- browser probe: the 32-bit installer's uninstall key, the beta marker
reg add "$uninstall" /v InstallLocation /d "$test_root\\Qarto Private Browser" /f /reg:32
mkdir -p "$root_unix/Qarto Private Browser/Update"
printf '[Beta]\r\nver1=1\r\n' >"$root_unix/Qarto Private Browser/Update/Update.ini"
out=$(qtool browser-probe)
check "probe: install folder from the uninstall key" "$test_root\\Qarto Private Browser\\" "$(line install_dir <<<"$out")"
check "probe: beta edition" "1" "$(line beta <<<"$out")"
check "probe: beta user data" "yes" \
  "$(line user_data_dir <<<"$out" | grep -q 'AppData\\Local\\Qarto Private Browser Beta\\User Data\\Default\\$' && echo yes)"
check "probe: no version resource" "3.0.0.0" "$(line version <<<"$out")"

# ---- the API's address from the deployment override (default view = 32-bit)
configure ""
reg add "$dev_key" /v ApiHost /d "$http" /f /reg:32
out=$(qtool base-info --email ann@example.com)
check "override over HTTP" "server_time=1718000000 error=network_error_bad_request" "$(result <<<"$out")"
check "country from the answer" "DE" "$(line country_code <<<"$out")"
check "the stand-in found the request sound" "base-info:True:/base-info/info" "$(request_summary)"
configure "scramble=1&gzip=1&encoding_name=GZIP"
reg add "$dev_key" /v ApiHost /d "$https" /f /reg:32
check "override over HTTPS (system store), scrambled gzip answer" "server_time=1718000000 error=network_error_bad_request" \
  "$(qtool base-info | result)"
check "the stand-in found the TLS request sound" "base-info:True:/base-info/info" "$(request_summary)"
configure "answer=fail&error_type=region_restriction"
check "an API error" "server_time=0 error=network_error_region_restriction" "$(qtool base-info | result)"

# Testupdate.ini beside the program wins over the override.
configure ""
reg add "$dev_key" /v ApiHost /d "http://127.0.0.1:9" /f /reg:32
printf '[api-test]\r\nURL=%s/v3\r\n' "$http" >"$test_file"
check "Testupdate.ini wins" "server_time=1718000000 error=network_error_bad_request" "$(qtool base-info | result)"
check "at the file's URL plus /" "base-info:True:/v3/base-info/info" "$(request_summary)"
rm -f "$test_file"

# A refused connection ends at once.
out=$(qtool base-info)
check "refused: result 0" "server_time=0 error=network_error_bad_request" "$(result <<<"$out")"
check "refused: within 2 s" "yes" "$([ "$(line elapsed_ms <<<"$out")" -lt 2000 ] && echo yes)"
echo "     refused connection: GetBaseInfo blocked $(line elapsed_ms <<<"$out") ms"

# The override is read in the 32-bit view only.
reg delete "$dev_key" /f /reg:32
reg add "$dev_key" /v ApiHost /d "$http" /f /reg:64
configure ""
qtool base-info --timeout 3 >/dev/null
check "a 64-bit view value redirects nothing" "" "$(request_summary)"
reg delete "$dev_key" /f /reg:64

# The usage report's form post.
configure "params_answer=stored"
check "post-params" "stored|result status=200" "$(qtool post-params "$http/multi_app_lang.php?action=insert" \
  'app=zyr3color&lan=pt-BR&show=1&dark=1' | paste -sd'|')"
check "the stand-in found the post sound" "multi_app_lang:True:/multi_app_lang.php" "$(request_summary)"

echo "Windows services test: $((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]

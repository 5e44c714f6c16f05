#!/usr/bin/env bash
# The stand-ins of the maker's servers (tools/standins/standins.sh) end to end: both
# descriptors over HTTPS (verified with the test authority) name the package on the
# download server with its MD5; the package answers ranges and is served at the
# built-in fallback path; the prefix holds the override naming every server and
# trusts the authority (the Windows download engine fetches the package over HTTPS
# through the system store); one server stops alone; everything stops. Then the
# modes: a server down from the start, plain HTTP, the package through the fault
# server, a descriptor MD5 that does not match, and a package padded past its
# program image that fails when run, signed again after those changes; last, descriptors
# naming another address and MD5.
# usage: standins_test.sh WINE_RUN QTOOL_EXE DEMOSETUP_EXE   (WINE_RUN: <tree>/wine-run)
set -uo pipefail
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
wine_run=$(absolute "$1") qtool=$(absolute "$2") demo_setup=$(absolute "$3")
repo=$(cd "$(dirname "$0")/../.." && pwd)
standins=$repo/tools/standins/standins.sh
source "$repo/scripts/lib/xdisplay.sh"
ensure_display
work=$(mktemp -d)
prefix_c=$(dirname "$wine_run")/wineprefix/drive_c
install_dir=qarto-standins-test
stop_all() {
  "$standins" stop "$work/a"
  "$standins" stop "$work/b"
  "$standins" stop "$work/c"
  rm -rf "$work" "${prefix_c:?}/$install_dir"
  "$wine_run" reg delete 'HKCU\Software\Qarto Demo Package' /f >/dev/null 2>&1
  [ -z "${QARTO_XVFB_PID:-}" ] || kill "$QARTO_XVFB_PID" 2>/dev/null
}
trap stop_all EXIT
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

failures=0 checks=0
check() {  # check NAME EXPECTED ACTUAL
  checks=$((checks + 1))
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}
value() { sed -n "s/^$2=//p" "$work/$1/standins.env"; }  # value SET KEY
fetch() { curl -sS --max-time 20 "$@"; }
md5_of() { md5sum | cut -d' ' -f1; }
descriptor_key() { tr -d '\r' | sed -n "s/^$1=//p"; }
closed() { curl -s --max-time 5 -o /dev/null "$1"; [ $? -eq 7 ] && echo closed || echo open; }
# The override in the prefix (32-bit view), read once per look: one Wine process.
read_override() {
  "$wine_run" reg query 'HKLM\SOFTWARE\Qarto Private Browser\InstallerDev' /reg:32 2>/dev/null | tr -d '\r' \
    >"$work/override.txt"
}
registry_value() { sed -n "s/^ *$1 *REG_SZ *//p" "$work/override.txt"; }  # registry_value NAME
running_pids() {  # how many of the set's recorded servers still run
  local n=0 pid
  # shellcheck disable=SC2013  # one number a line
  for pid in $(sed -n 's/^[A-Z]*_PID=\([0-9]\+\)$/\1/p' "$work/$1/standins.env"); do
    [ ! -d "/proc/$pid" ] || n=$((n + 1))
  done
  echo "$n"
}

# --- the default start -------------------------------------------------------------
"$standins" start "$work/a" "$wine_run" >/dev/null || { echo "FAIL the stand-ins did not start"; exit 1; }
ca=$(value a CA_PEM)
package_md5=$(md5_of <"$demo_setup")
size=$(stat -c %s "$demo_setup")
check "the package served is the demo package" "$package_md5" "$(value a PACKAGE_MD5)"

for server in MAIN REGIONAL; do
  descriptor=$(fetch --cacert "$ca" "$(value a ${server}_DESCRIPTOR_URL)")
  check "$server descriptor over HTTPS names the package on the download server" \
    "$(value a ${server}_PACKAGE_URL)" "$(descriptor_key URL <<<"$descriptor")"
  check "$server descriptor names the package's MD5" "$package_md5" "$(descriptor_key MD5 <<<"$descriptor")"
done
check "the descriptors are at the fixed paths" "$(value a UPDATE_HOST)/dl/zyr/installer/dl-infonew.upt $(value a REGIONAL_HOST)/dl/zyr/installer/dl-infoar.upt" \
  "$(value a MAIN_DESCRIPTOR_URL) $(value a REGIONAL_DESCRIPTOR_URL)"

package_url=$(value a MAIN_PACKAGE_URL)
check "a range of the package: 206 with exactly those bytes" \
  "206 $(tail -c +1001 "$demo_setup" | head -c 1000 | md5_of)" \
  "$(fetch --cacert "$ca" -r 1000-1999 -o "$work/range" -w '%{http_code}' "$package_url") $(md5_of <"$work/range")"
check "the whole package matches the descriptor's MD5" "$package_md5" \
  "$(fetch --cacert "$ca" "$package_url" | md5_of)"
check "the built-in fallback path serves the same package" "$(value a DOWNLOAD_HOST)/dl/qarto-private-browser-setup.exe $package_md5" \
  "$(value a FALLBACK_PACKAGE_URL) $(fetch --cacert "$ca" "$(value a FALLBACK_PACKAGE_URL)" | md5_of)"
check "the download server counted the ranged bytes" "1000" "$("$standins" bytes "$work/a" --ranged)"
check "... and every byte" "$((1000 + 2 * size))" "$("$standins" bytes "$work/a")"
check "the web server answers the redirect address" "200" \
  "$(fetch --cacert "$ca" -o /dev/null -w '%{http_code}' "$(value a REDIRECT_HOST)/appgoto?name=zyr")"

read_override
for pair in UpdateHost:UPDATE_HOST RegionalHost:REGIONAL_HOST DownloadHost:DOWNLOAD_HOST ApiHost:API_HOST \
  StatsHost:STATS_HOST RedirectHost:REDIRECT_HOST WebHost:WEB_HOST; do
  check "the prefix's override $pair" "$(value a "${pair#*:}")" "$(registry_value "${pair%%:*}")"
done

# The Windows engine verifies TLS against the prefix's store: this succeeds only if
# the test authority is trusted there.
( cd "$work" && "$wine_run" "$qtool" download --md5 "$package_md5" "$(value a REGIONAL_PACKAGE_URL)" package.exe \
    2>/dev/null | tr -d '\r' | tail -n 1 >qtool.out )
check "the Windows engine fetches the package over HTTPS" "result success=1 code=0 bytes=$size md5=$package_md5" \
  "$(cat "$work/qtool.out")"
check "the download log tells which descriptor was used" "yes" \
  "$(grep -q 'GET /dl/zyr/setup/QartoPrivateBrowserSetup.exe?from=regional ' "$work/a/download/nginx-access.log" && echo yes || echo no)"

"$standins" stop "$work/a" main
check "the main update server stops alone" "closed" "$(closed "$(value a MAIN_DESCRIPTOR_URL)")"
check "... the regional one still serves" "200" \
  "$(fetch --cacert "$ca" -o /dev/null -w '%{http_code}' "$(value a REGIONAL_DESCRIPTOR_URL)")"
"$standins" stop "$work/a"
check "every server stopped" "0" "$(running_pids a)"
check "their ports are closed" "closed closed" \
  "$(closed "$(value a REGIONAL_DESCRIPTOR_URL)") $(closed "$(value a FALLBACK_PACKAGE_URL)")"
read_override
check "the override left the prefix" "" "$(registry_value UpdateHost)$(registry_value WebHost)"

# --- modes ------------------------------------------------------------------------------
"$standins" start "$work/b" "$wine_run" --down main --http --bad-md5 --failing-package --setup-seconds 1 \
  --package-mib 4 --faults noranges=1 >/dev/null || { echo "FAIL the stand-ins did not start with modes"; exit 1; }
check "a server down from the start: its named port is closed" "closed" "$(closed "$(value b UPDATE_HOST)/")"
read_override
check "the override names plain HTTP" "$(value b REGIONAL_HOST)" "$(registry_value RegionalHost)"
check "... as http://" "http" "$(registry_value RegionalHost | cut -d: -f1)"
descriptor=$(fetch "$(value b REGIONAL_DESCRIPTOR_URL)")
fetch -D "$work/headers" "$(value b REGIONAL_PACKAGE_URL)" >"$work/failing.exe"
check "the regional descriptor over HTTP names the package" "$(value b REGIONAL_PACKAGE_URL)" \
  "$(descriptor_key URL <<<"$descriptor")"
check "the descriptor names the package on the fault server" \
  "http://127.0.0.1:$(value b FAULTS_HTTP_PORT)/files/dl/zyr/setup/QartoPrivateBrowserSetup.exe?scenario=regional" \
  "$(value b REGIONAL_PACKAGE_URL)"
check "... which applies the faults asked for (no Accept-Ranges)" "0" "$(grep -ci '^accept-ranges' "$work/headers")"
check "... and counts what it sent" "$(stat -c %s "$work/failing.exe")" "$("$standins" bytes "$work/b")"
check "a descriptor MD5 that is not the package's" "differs" \
  "$([ "$(descriptor_key MD5 <<<"$descriptor")" != "$(md5_of <"$work/failing.exe")" ] && echo differs || echo same)"
check "the changed package is signed again by the test publisher" "signed" \
  "$(osslsigncode verify -CAfile "$repo/tools/signing/test-ca.pem" -in "$work/failing.exe" >/dev/null 2>&1 &&
     echo signed || echo unsigned)"
osslsigncode remove-signature -in "$work/failing.exe" -out "$work/failing-unsigned.exe" >/dev/null 2>&1
check "... and carries its settings as its last line before the signature" "QARTO-DEMO-SETUP seconds=1 fail=1" \
  "$(tr -d '\0' <"$work/failing-unsigned.exe" | tail -n 1)"
check "... after padding to 4 MiB" "yes" "$([ "$(stat -c %s "$work/failing.exe")" -gt 4194304 ] && echo yes || echo no)"
"$wine_run" "$work/failing.exe" /sp- /verysilent /suppressmsgboxes /NORESTART "/DIR=C:\\$install_dir\\" '/TASKS=' \
  >/dev/null 2>&1
check "the failing package fails when run" "1" "$?"
check "... as told, though padded past its program image" "failed: told to fail" \
  "$("$wine_run" reg query 'HKCU\Software\Qarto Demo Package' /v SetupResult 2>/dev/null | tr -d '\r' |
     sed -n 's/^ *SetupResult *REG_SZ *//p')"
check "... after recording the command line it was given" "yes" \
  "$(grep -q "/DIR=C:\\\\$install_dir\\\\" "$prefix_c/$install_dir/setup-commandline.txt" && echo yes || echo no)"
"$standins" stop "$work/b"
check "every server of the second set stopped" "0" "$(running_pids b)"

# --- a hostile descriptor (servers only) -------------------------------------------------
planted_url='file:///C:/qarto-planted/DemoSetup.exe' planted_md5=0123456789abcdef0123456789abcdef
"$standins" start "$work/c" - --package "$demo_setup" --certs "$(dirname "$ca")" --down web --down api \
  --package-url "$planted_url" --descriptor-md5 $planted_md5 >/dev/null ||
  { echo "FAIL the stand-ins did not start with a hostile descriptor"; exit 1; }
for server in MAIN REGIONAL; do
  descriptor=$(fetch --cacert "$ca" "$(value c ${server}_DESCRIPTOR_URL)")
  check "$server descriptor names the address and MD5 given" "$planted_url $planted_md5" \
    "$(descriptor_key URL <<<"$descriptor") $(descriptor_key MD5 <<<"$descriptor")"
done
check "... and the package is still served at the fallback path" "$package_md5" \
  "$(fetch --cacert "$ca" "$(value c FALLBACK_PACKAGE_URL)" | md5_of)"
"$standins" stop "$work/c"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]

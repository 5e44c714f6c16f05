#!/usr/bin/env bash
# The Windows build of the download engine (qtool.exe under Wine) against the local
# test server: HTTP and HTTPS (the test authority trusted in the prefix's system
# store, as the engine verifies against it), a server ignoring ranges, an MD5
# mismatch, a stop followed by a run that fetches only what is missing, a file past
# 2 GiB and the system proxy. MODE "smoke" (the 32-bit product, whose processes may
# be emulated) runs only the HTTPS download and the file past 2 GiB.
# usage: download_win_test.sh full|smoke TESTSERVER_DIR WINE_RUN QTOOL_EXE TRUSTCA_EXE
# (WINE_RUN: <tree>/wine-run)
set -uo pipefail
mode=$1 testserver=$2 wine_run=$3 qtool_exe=$4 trustca_exe=$5
work=$(mktemp -d)
"$testserver/serverctl.sh" start "$work/server" >/dev/null || exit 1
trap '"$testserver/serverctl.sh" stop "$work/server" >/dev/null 2>&1; rm -rf "$work"' EXIT
cd "$work"
http=http://127.0.0.1:$(sed -n 's/^HTTP_PORT=//p' server/server.env)
https=https://127.0.0.1:$(sed -n 's/^HTTPS_PORT=//p' server/server.env)
timeout 120 "$wine_run" "$trustca_exe" server/ca.pem ||
  { echo "FAIL cannot trust the test authority (trustca.exe failed or did not end within 120s)"; exit 1; }
# Each run of qtool.exe is bounded (a 32-bit one may be emulated, about a minute to
# start); one that does not end says so instead of holding the test.
qtool_seconds=120
[ "$mode" = smoke ] && qtool_seconds=420
qtool() {
  local rc=0
  timeout "$qtool_seconds" "$wine_run" "$qtool_exe" "$@" 2>/dev/null | tr -d '\r' || rc=${PIPESTATUS[0]}
  [ "$rc" -ne 124 ] || echo "qtool.exe $1 did not end within ${qtool_seconds}s: $*" >&2
}
gen_md5() { python3 -c "import sys; sys.path.insert(0, '$testserver'); import qarto_test_server as s; print(s.generated_md5('$1', $2))"; }
ranged_bytes() {
  curl -s "$http/_stats?scenario=$1" | python3 -c 'import json,sys; print(sum(r["body_bytes"] for r in json.load(sys.stdin)["requests"] if r.get("range")))'
}
failures=0 checks=0
check() {  # check NAME EXPECTED ACTUAL
  checks=$((checks + 1))
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: expected [$2], got [$3]"; failures=$((failures + 1)); fi
}

size=3000001
schemes="http https"
[ "$mode" = smoke ] && schemes=https
for scheme in $schemes; do
  base=$http; [ $scheme = https ] && base=$https
  sum=$(gen_md5 win-$scheme $size)
  rm -f target.bin*
  check "$scheme, 4 parts, verified" "result success=1 code=0 bytes=$size md5=$sum" \
    "$(qtool download --md5 "$sum" "$base/gen/win-$scheme?size=$size&scenario=win-$scheme" target.bin | tail -n 1)"
done

if [ "$mode" = full ]; then
rm -f target.bin*
sum=$(gen_md5 win-ignore $size)
check "server ignoring ranges" "result success=1 code=0 bytes=$size md5=$sum" \
  "$(qtool download --md5 "$sum" "$http/gen/win-ignore?size=$size&scenario=win-ignore&ignoreranges=1" target.bin | tail -n 1)"

rm -f target.bin*
sum=$(gen_md5 win-corrupt $size)
check "MD5 mismatch: unverified after the retries" "result success=1 code=4" \
  "$(qtool download --md5 "$sum" "$http/gen/win-corrupt?size=$size&scenario=win-corrupt&corrupt=1" target.bin | tail -n 1 | cut -d' ' -f1-3)"

rm -f target.bin*
size=8000000
url="$http/gen/win-resume?size=$size&scenario=win-resume&rate=2000000"
sum=$(gen_md5 win-resume $size)
QARTO_STOP_AT_BYTES=$((size / 2)) qtool download "$url" target.bin >/dev/null
kept=$(tr -d '\r' <target.bin.dat | sed -n 's/^DownloadedSize=//p')
curl -s "$http/_reset" >/dev/null
check "stopped, then finished verified" "result success=1 code=0 bytes=$size md5=$sum" \
  "$(qtool download --md5 "$sum" "$url" target.bin | tail -n 1)"
check "only the missing bytes fetched again" "$((size - kept))" "$(ranged_bytes win-resume)"
fi

# 2 GiB and more (what matters in the 32-bit program): 64-bit offsets in ranges,
# writes and the state.
rm -f target.bin*
size=$(( (1 << 31) + 3 * 1048576 + 7 ))
sum=$(gen_md5 win-big $size)
check "a file past 2 GiB" "result success=1 code=0 bytes=$size md5=$sum" \
  "$(qtool download "$http/gen/win-big?size=$size&scenario=win-big" target.bin | tail -n 1)"
rm -f target.bin*

if [ "$mode" = full ]; then
# The system proxy: a real tinyproxy set in the prefix's Internet Settings, tried
# after the direct attempts failed (the first four requests lose their connection).
"$testserver/tinyproxy.sh" start "$work/proxy" >/dev/null || { echo "FAIL tinyproxy did not start"; exit 1; }
proxy_port=$(sed -n 's/^TINYPROXY_PORT=//p' "$work/proxy/tinyproxy.env")
settings='HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings'
"$wine_run" reg add "$settings" /v ProxyEnable /t REG_DWORD /d 1 /f >/dev/null 2>&1
"$wine_run" reg add "$settings" /v ProxyServer /t REG_SZ /d "127.0.0.1:$proxy_port" /f >/dev/null 2>&1
rm -f target.bin*
size=500000
sum=$(gen_md5 win-proxy $size)
check "system proxy after the direct attempts" "result success=1 code=0 bytes=$size md5=$sum" \
  "$(qtool download --md5 "$sum" "$http/gen/win-proxy?size=$size&scenario=win-proxy&drop_headers=1&fault_times=4" target.bin | tail -n 1)"
check "the proxy carried the requests" "yes" "$(grep -q 'win-proxy' "$work/proxy/"*.log && echo yes || echo no)"
"$wine_run" reg add "$settings" /v ProxyEnable /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$testserver/tinyproxy.sh" stop "$work/proxy" >/dev/null
fi

echo "Windows download test: $((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# Local stand-ins of the maker's servers, for the installer's demonstration and its
# end-to-end tests. Everything listens on 127.0.0.1 only; see README.md beside this.
#
#   standins.sh start DIR WINE_RUN|- [OPTIONS]   start them; write the override into the prefix
#   standins.sh stop DIR [SERVER...]              stop them all (or only the named ones)
#   standins.sh bytes DIR [--ranged]              body bytes of the package the download server sent
#
# Servers: main and regional (the two update servers, each serving its descriptor),
# download (the package), web (the redirect service and the support page), api (the
# product API and statistics stand-in of tools/apiserver, when that exists), faults
# (the project's fault server, with --faults). Each has its own ports, so one can be
# stopped alone. WINE_RUN is a tree's wine-run: its prefix gets the test authority
# and the test publisher's (tools/signing/) as trusted roots and the deployment
# override (HKLM "SOFTWARE\Qarto Private Browser\InstallerDev", 32-bit view) naming
# the servers; "-" starts the servers only.
#
# Options:
#   --down SERVER      do not start SERVER (main, regional, download, web, api); its
#                      ports are still chosen and named, so clients meet a closed port
#   --bad-md5          the descriptors name an MD5 that is not the package's
#   --descriptor-md5 HEX  the descriptors name HEX (32 hex digits) as the package's MD5
#   --package-url URL  both descriptors name URL (as given) instead of the download
#                      server's package, which is still served (a hostile descriptor)
#   --failing-package  the package fails when run (a trailer line in the package file)
#   --setup-seconds N  the package takes N seconds when run (the same trailer)
#   --package FILE     the package to serve (default: the tree's tools/demo/DemoSetup.exe);
#                      a signed one that the options below change is signed again by
#                      the test publisher (tools/signing/)
#   --package-mib N    pad the package to at least N MiB (after the program image)
#   --rate BYTES       the download server sends at most BYTES per second per connection
#   --faults QUERY     the descriptors name the package on the fault server, which
#                      applies QUERY (its fault parameters) to every request
#   --http             every address over HTTP instead of HTTPS
#   --certs DIR        the test authority to use (default: <tree>/standins-certs, so a
#                      prefix trusts one authority however often the stand-ins start)
#   --trustca EXE      the trustca.exe to run (default: <tree>/tests/e2e/trustca.exe)
#
# start leaves DIR/standins.env (KEY=VALUE lines, see README.md) with every port, PID,
# address and the package's MD5, prints it, and exits non-zero after stopping what
# it had started when anything fails.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
testserver=$repo/tools/testserver
# shellcheck source=tools/testserver/lib.sh
source "$testserver/lib.sh"
apiserver=${QARTO_APISERVER_DIR:-$repo/tools/apiserver}

usage() {
  echo "usage: $0 start DIR WINE_RUN|- [OPTIONS] | stop DIR [SERVER...] | bytes DIR [--ranged]" >&2
  exit 2
}
[ $# -ge 2 ] || usage
command=$1 dir=$2
shift 2

override_key='HKLM\SOFTWARE\Qarto Private Browser\InstallerDev'
package_path=/dl/zyr/setup/QartoPrivateBrowserSetup.exe
fallback_path=/dl/qarto-private-browser-setup.exe
main_descriptor_path=/dl/zyr/installer/dl-infonew.upt
regional_descriptor_path=/dl/zyr/installer/dl-infoar.upt

upper() { tr '[:lower:]' '[:upper:]' <<<"$1"; }
# A Windows path (Z: maps to the Linux root in every prefix).
windows_path() { local p; p=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); echo "Z:${p//\//\\}"; }
# Runs a tree's wine-run with its output in DIR/wine.log, so that Wine's helper
# processes, which outlive the call, do not hold the caller's output open.
wine_quiet() { "$wine_run" "$@" >>"$dir/wine.log" 2>&1; }

# stop_server SERVER: stops one server of DIR if it runs (nothing else).
stop_server() {
  case $1 in
  main | regional | download | web) "$testserver/nginx.sh" stop "$dir/$1" ;;
  faults) "$testserver/serverctl.sh" stop "$dir/faults" ;;
  api) [ ! -x "$apiserver/apictl.sh" ] || "$apiserver/apictl.sh" stop "$dir/api" ;;
  *) die "no server $1 (main, regional, download, web, api, faults)" ;;
  esac
}

# Removes the override from the prefix, so that the installer run later elsewhere
# does not talk to closed ports. The trusted test authority stays (it is harmless
# and the same one is used next time).
remove_override() {
  local recorded
  recorded=$(env_value "$dir/standins.env" STANDINS_WINE_RUN)
  [ -n "$recorded" ] && [ "$recorded" != - ] || return 0
  wine_run=$recorded
  wine_quiet reg delete "$override_key" /f /reg:32 || true
}

# set_env KEY VALUE: replaces one line of DIR/standins.env (whole file by rename).
set_env() {
  local file=$dir/standins.env
  { grep -v "^$1=" "$file" || true; echo "$1=$2"; } >"$file.tmp"
  mv -f "$file.tmp" "$file"
}

do_stop() {
  [ -d "$dir" ] || return 0
  local servers=("$@") server
  [ ${#servers[@]} -gt 0 ] || servers=(main regional download web faults api)
  for server in "${servers[@]}"; do
    stop_server "$server"
    [ ! -f "$dir/standins.env" ] || set_env "$(upper "$server")_PID" ""
  done
  [ $# -gt 0 ] || [ ! -f "$dir/standins.env" ] || remove_override
}

# --- start ---------------------------------------------------------------------------

down=() bad_md5=0 descriptor_md5='' package_url='' fail=0 seconds='' package='' package_mib=0 rate='' faults='' scheme=https certs='' trustca=''
parse_options() {
  while [ $# -gt 0 ]; do
    case $1 in
    --down) [ $# -ge 2 ] || usage; down+=("$2"); shift ;;
    --bad-md5) bad_md5=1 ;;
    --descriptor-md5) [ $# -ge 2 ] || usage; descriptor_md5=$2; shift ;;
    --package-url) [ $# -ge 2 ] || usage; package_url=$2; shift ;;
    --failing-package) fail=1 ;;
    --setup-seconds) [ $# -ge 2 ] || usage; seconds=$2; shift ;;
    --package) [ $# -ge 2 ] || usage; package=$2; shift ;;
    --package-mib) [ $# -ge 2 ] || usage; package_mib=$2; shift ;;
    --rate) [ $# -ge 2 ] || usage; rate=$2; shift ;;
    --faults) [ $# -ge 2 ] || usage; faults=$2; shift ;;
    --http) scheme=http ;;
    --certs) [ $# -ge 2 ] || usage; certs=$2; shift ;;
    --trustca) [ $# -ge 2 ] || usage; trustca=$2; shift ;;
    *) echo "$0: unknown option $1" >&2; usage ;;
    esac
    shift
  done
  local server
  for server in "${down[@]}"; do
    case $server in main | regional | download | web | api) ;; *) die "--down: no server $server" ;; esac
  done
  [[ $package_mib =~ ^[0-9]+$ ]] || die "--package-mib: a whole number of MiB, not $package_mib"
  [ -z "$seconds" ] || [[ $seconds =~ ^[0-9]+$ ]] || die "--setup-seconds: a whole number, not $seconds"
  [ -z "$rate" ] || [[ $rate =~ ^[0-9]+$ ]] || die "--rate: bytes per second, not $rate"
  [ -z "$descriptor_md5" ] || [[ $descriptor_md5 =~ ^[0-9a-fA-F]{32}$ ]] ||
    die "--descriptor-md5: 32 hex digits, not $descriptor_md5"
  [ -z "$descriptor_md5" ] || [ "$bad_md5" = 0 ] || die "--bad-md5 and --descriptor-md5 name two MD5s"
  [ -z "$package_url" ] || [ -z "$faults" ] || die "--package-url and --faults name two package addresses"
}
is_down() { local s; for s in "${down[@]}"; do [ "$s" = "$1" ] && return 0; done; return 1; }

# The package as served: the program, padding, then the settings trailer as its last line.
make_package() {
  local target=$dir/www/download$package_path
  mkdir -p "$(dirname "$target")" "$(dirname "$dir/www/download$fallback_path")"
  cp "$package" "$target"
  local want=$((package_mib * 1048576)) size
  size=$(stat -c %s "$target")
  if [ "$size" -lt "$want" ] || [ "$fail" = 1 ] || [ -n "$seconds" ]; then
    # A signature covers the whole file and must end it: a signed package loses its
    # signature, gets its additions, and is signed again by the test publisher.
    local signed=0
    if osslsigncode remove-signature -in "$package" -out "$target.unsigned" >/dev/null 2>&1; then
      mv -f "$target.unsigned" "$target"
      signed=1
    fi
    rm -f "$target.unsigned"
    size=$(stat -c %s "$target")
    if [ "$size" -lt "$want" ]; then head -c $((want - size)) /dev/urandom >>"$target"; fi
    if [ "$fail" = 1 ] || [ -n "$seconds" ]; then
      printf '\nQARTO-DEMO-SETUP seconds=%s fail=%s\n' "${seconds:-3}" "$fail" >>"$target"
    fi
    [ "$signed" = 0 ] || "$repo/tools/signing/sign-test.sh" "$target" "$target" || die "could not sign the package again"
  fi
  # The built-in fallback address serves the very same bytes.
  ln -f "$target" "$dir/www/download$fallback_path"
}

write_descriptor() {  # write_descriptor FILE URL MD5
  mkdir -p "$(dirname "$1")"
  printf '[Option]\r\nURL=%s\r\nMD5=%s\r\n' "$2" "$3" >"$1.tmp"
  mv -f "$1.tmp" "$1"
}

# start_nginx SERVER [EXTRA]: the server's ports go to the variables <SERVER>_HTTP_PORT...
start_nginx() {
  local server=$1 upper_name http https pid
  upper_name=$(upper "$server")
  mkdir -p "$dir/$server" "$dir/www/$server"
  if is_down "$server"; then
    read -r http https <<<"$(free_ports 2)"
    pid=
  else
    cp "$certs"/{ca.pem,ca.key,server.pem,server.key} "$dir/$server/"
    "$testserver/nginx.sh" start "$dir/$server" "$dir/www/$server" ${2:+"$2"} >/dev/null ||
      die "the $server server did not start"
    http=$(env_value "$dir/$server/nginx.env" NGINX_HTTP_PORT)
    https=$(env_value "$dir/$server/nginx.env" NGINX_HTTPS_PORT)
    pid=$(env_value "$dir/$server/nginx.env" NGINX_PID)
  fi
  printf '%s_HTTP_PORT=%s\n%s_HTTPS_PORT=%s\n%s_PID=%s\n' "$upper_name" "$http" "$upper_name" "$https" \
    "$upper_name" "$pid" >>"$dir/standins.env.new"
  eval "${upper_name}_HTTP_PORT=$http ${upper_name}_HTTPS_PORT=$https"
}

start_api() {
  local http https pid started=0
  mkdir -p "$dir/api"
  if ! is_down api && [ -x "$apiserver/apictl.sh" ]; then
    cp "$certs"/{ca.pem,ca.key,server.pem,server.key} "$dir/api/"
    "$apiserver/apictl.sh" start "$dir/api" >/dev/null || die "the API stand-in did not start"
    http=$(env_value "$dir/api/api.env" HTTP_PORT)
    https=$(env_value "$dir/api/api.env" HTTPS_PORT)
    pid=$(env_value "$dir/api/api.env" PID)
    started=1
  else
    # Still a closed loopback port: the installer must never reach the real servers.
    [ -x "$apiserver/apictl.sh" ] || is_down api ||
      echo "standins.sh: no API stand-in ($apiserver/apictl.sh); its address is a closed port" >&2
    read -r http https <<<"$(free_ports 2)"
    pid=
  fi
  printf 'API_HTTP_PORT=%s\nAPI_HTTPS_PORT=%s\nAPI_PID=%s\nAPI_STARTED=%s\n' "$http" "$https" "$pid" "$started" \
    >>"$dir/standins.env.new"
  # shellcheck disable=SC2034  # read through address()
  API_HTTP_PORT=$http API_HTTPS_PORT=$https
}

start_faults() {
  mkdir -p "$dir/faults"
  cp "$certs"/{ca.pem,ca.key,server.pem,server.key} "$dir/faults/"
  "$testserver/serverctl.sh" start "$dir/faults" --root "$dir/www/download" --faults "$faults" >/dev/null ||
    die "the fault server did not start"
  FAULTS_HTTP_PORT=$(env_value "$dir/faults/server.env" HTTP_PORT)
  FAULTS_HTTPS_PORT=$(env_value "$dir/faults/server.env" HTTPS_PORT)
  printf 'FAULTS_HTTP_PORT=%s\nFAULTS_HTTPS_PORT=%s\nFAULTS_PID=%s\n' "$FAULTS_HTTP_PORT" "$FAULTS_HTTPS_PORT" \
    "$(env_value "$dir/faults/server.env" PID)" >>"$dir/standins.env.new"
}

# address SERVER: scheme://127.0.0.1:PORT of a server in the chosen scheme.
address() {
  local var
  var="$(upper "$1")_$(upper "$scheme")_PORT"
  echo "$scheme://127.0.0.1:${!var}"
}

write_override() {
  local reg=$dir/override.reg pair
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[%s]\r\n' "${override_key/HKLM/HKEY_LOCAL_MACHINE}"
    for pair in UpdateHost:UPDATE_HOST RegionalHost:REGIONAL_HOST DownloadHost:DOWNLOAD_HOST ApiHost:API_HOST \
      StatsHost:STATS_HOST RedirectHost:REDIRECT_HOST WebHost:WEB_HOST; do
      printf '"%s"="%s"\r\n' "${pair%%:*}" "$(env_value "$dir/standins.env.new" "${pair#*:}")"
    done
  } >"$reg"
  wine_quiet reg import "$(windows_path "$reg")" /reg:32 || die "could not write the override into the prefix"
  wine_quiet "$trustca" "$(windows_path "$certs/ca.pem")" || die "could not trust the test authority in the prefix"
  # The test publisher's authority, which the demo package's signature chains to.
  wine_quiet "$trustca" "$(windows_path "$repo/tools/signing/test-ca.pem")" ||
    die "could not trust the test publisher's authority in the prefix"
}

# The end of a start: a failure stops whatever had started; a private display goes.
on_start_exit() {
  [ -z "${QARTO_XVFB_PID:-}" ] || kill "$QARTO_XVFB_PID" 2>/dev/null || true
  [ "$1" -eq 0 ] || do_stop_new
}

do_start() {
  [ $# -ge 1 ] || usage
  wine_run=$1
  shift
  parse_options "$@"
  local tree=
  if [ "$wine_run" != - ]; then
    [ -x "$wine_run" ] || die "no wine-run at $wine_run"
    tree=$(cd "$(dirname "$wine_run")" && pwd)
    wine_run=$tree/$(basename "$wine_run")
  fi
  [ -n "$package" ] || package=${tree:-$repo/build/win64}/tools/demo/DemoSetup.exe
  [ -f "$package" ] || die "no package $package (build the DemoSetup target)"
  [ -n "$trustca" ] || trustca=$tree/tests/e2e/trustca.exe
  [ "$wine_run" = - ] || [ -f "$trustca" ] || die "no trustca.exe at $trustca (build the trustca target)"
  [ -n "$certs" ] || certs=${tree:-$dir}/standins-certs
  [ -z "$faults" ] || ! is_down download || die "--faults serves the package: the download server cannot be down"

  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  local pid
  # shellcheck disable=SC2013  # one number a line
  for pid in $(sed -n 's/^[A-Z]*_PID=\([0-9]\+\)$/\1/p' "$dir/standins.env" 2>/dev/null); do
    ! is_running "$pid" || die "the stand-ins already run for $dir (stop them first)"
  done
  "$testserver/make_test_ca.sh" "$certs"
  certs=$(cd "$certs" && pwd)
  rm -rf "$dir/www" "$dir/standins.env.new"
  : >"$dir/wine.log"
  # From here on a failure stops whatever has started.
  trap 'on_start_exit $?' EXIT

  make_package
  local md5 size
  md5=$(md5sum "$dir/www/download$package_path" | cut -d' ' -f1)
  size=$(stat -c %s "$dir/www/download$package_path")

  local download_extra=$dir/download-extra.conf web_extra=$dir/web-extra.conf
  : >"$download_extra"
  [ -z "$rate" ] || echo "limit_rate $rate;" >"$download_extra"
  cat >"$web_extra" <<'EOF'
location = /appgoto { default_type text/html; try_files /appgoto.html =404; }
location = /support { default_type text/html; try_files /support.html =404; }
EOF
  mkdir -p "$dir/www/web"
  page() { printf '<!DOCTYPE html><html><head><meta charset="utf-8"><title>%s</title></head><body><h1>%s</h1><p>%s</p></body></html>\n' "$1" "$1" "$2"; }
  page "Qarto Private Browser" "The local stand-in of the redirect service." >"$dir/www/web/appgoto.html"
  page "Qarto Private Browser support" "The local stand-in of the support page." >"$dir/www/web/support.html"

  {
    echo "STANDINS_WINE_RUN=$wine_run"
    echo "STANDINS_APISERVER=$apiserver"
    echo "STANDINS_SCHEME=$scheme"
    echo "CA_PEM=$certs/ca.pem"
  } >"$dir/standins.env.new"
  start_nginx main
  start_nginx regional
  start_nginx download "$download_extra"
  start_nginx web "$web_extra"
  start_api
  [ -z "$faults" ] || start_faults

  # What the descriptors name: the package on the download server, or on the fault
  # server; each names its own origin in the query, so the download log tells which
  # descriptor the installer used. With --package-url both name that address as given.
  local package_base main_url regional_url
  if [ -n "$faults" ]; then
    package_base="$(address faults)/files$package_path?scenario="
  else
    package_base="$(address download)$package_path?from="
  fi
  main_url=${package_base}main regional_url=${package_base}regional
  [ -z "$package_url" ] || main_url=$package_url regional_url=$package_url
  [ -n "$descriptor_md5" ] || descriptor_md5=$md5
  [ "$bad_md5" = 0 ] || descriptor_md5=$(printf 'not the package' | md5sum | cut -d' ' -f1)
  write_descriptor "$dir/www/main$main_descriptor_path" "$main_url" "$descriptor_md5"
  write_descriptor "$dir/www/regional$regional_descriptor_path" "$regional_url" "$descriptor_md5"

  {
    echo "UPDATE_HOST=$(address main)"
    echo "REGIONAL_HOST=$(address regional)"
    echo "DOWNLOAD_HOST=$(address download)"
    echo "API_HOST=$(address api)"
    echo "STATS_HOST=$(address api)"
    echo "REDIRECT_HOST=$(address web)"
    echo "WEB_HOST=$(address web)"
    echo "MAIN_DESCRIPTOR_URL=$(address main)$main_descriptor_path"
    echo "REGIONAL_DESCRIPTOR_URL=$(address regional)$regional_descriptor_path"
    echo "MAIN_PACKAGE_URL=$main_url"
    echo "REGIONAL_PACKAGE_URL=$regional_url"
    echo "FALLBACK_PACKAGE_URL=$(address download)$fallback_path"
    echo "PACKAGE_FILE=$dir/www/download$package_path"
    echo "PACKAGE_SIZE=$size"
    echo "PACKAGE_MD5=$md5"
    echo "DESCRIPTOR_MD5=$descriptor_md5"
  } >>"$dir/standins.env.new"

  if [ "$wine_run" != - ]; then
    # Wine's tools need a display; without one, a private Xvfb for these few calls.
    if [ -z "${DISPLAY:-}" ]; then
      # shellcheck source=scripts/lib/xdisplay.sh
      source "$repo/scripts/lib/xdisplay.sh"
      ensure_display
      trap 'on_start_exit $?' EXIT  # ensure_display set its own
    fi
    write_override
  fi
  mv -f "$dir/standins.env.new" "$dir/standins.env"
  cat "$dir/standins.env"
}

# A failed start: stop what is recorded so far.
do_stop_new() {
  [ ! -f "$dir/standins.env.new" ] || mv -f "$dir/standins.env.new" "$dir/standins.env"
  do_stop
}

# --- bytes ---------------------------------------------------------------------------

# Body bytes of the package (both of its paths) that the download server sent, from
# its access log, plus what the fault server sent while it runs; with --ranged only
# answers to requests with a Range header (a resumed download's parts, not the probe
# that opens it). A request the client dropped counts what the server had handed to
# the network by then.
do_bytes() {
  [ -f "$dir/standins.env" ] || die "no stand-ins in $dir"
  local ranged=0 total=0 faults_port
  [ "${1:-}" != --ranged ] || ranged=1
  if [ -f "$dir/download/nginx-access.log" ]; then
    total=$(awk -v a="$package_path" -v b="$fallback_path" -v ranged=$ranged '
      { split($5, target, "?") }
      $4 == "\"GET" && (target[1] == a || target[1] == b) && (!ranged || $9 != "\"-\"") { sum += $8 }
      END { print sum + 0 }' "$dir/download/nginx-access.log")
  fi
  faults_port=$(env_value "$dir/standins.env" FAULTS_HTTP_PORT)
  if [ -n "$faults_port" ] && [ -n "$(env_value "$dir/standins.env" FAULTS_PID)" ]; then
    total=$((total + $(curl -s --max-time 10 "http://127.0.0.1:$faults_port/_stats" | python3 -c '
import json, sys
ranged = sys.argv[1] == "1"
print(sum(r["body_bytes"] for r in json.load(sys.stdin)["requests"] if r["range"] or not ranged))' $ranged)))
  fi
  echo "$total"
}

case $command in
start) do_start "$@" ;;
stop)
  [ -d "$dir" ] || exit 0
  dir=$(cd "$dir" && pwd)
  # The API stand-in is stopped by the script that started it.
  recorded=$(env_value "$dir/standins.env" STANDINS_APISERVER)
  apiserver=${recorded:-$apiserver}
  do_stop "$@"
  ;;
bytes) do_bytes "$@" ;;
*) usage ;;
esac

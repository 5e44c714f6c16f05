#!/usr/bin/env bash
# apictl.sh start DIR [SERVER FLAGS...]   start qarto_api_server.py in the background
# apictl.sh stop DIR                      stop it and wait until it has ended
#
# start makes the test certificates in DIR (the test server's make_test_ca.sh: the
# same test authority mechanism), starts the API stand-in with HTTP and HTTPS on free
# loopback ports, waits (at most 10 s) until it listens and leaves DIR/api.env with
# HTTP_PORT, HTTPS_PORT and PID. Its output goes to DIR/api.log. Extra flags are
# passed on, e.g.  apictl.sh start "$dir" --config 'answer=ok&gzip=1'
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/testserver/lib.sh
source "$here/../testserver/lib.sh"
[ $# -ge 2 ] || { echo "usage: $0 start|stop DIR [server flags...]" >&2; exit 2; }
command=$1 dir=$2
shift 2
script=$here/qarto_api_server.py

case $command in
start)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  if [ -f "$dir/api.env" ] && is_running "$(env_value "$dir/api.env" PID)"; then
    die "an API stand-in already runs for $dir (pid $(env_value "$dir/api.env" PID))"
  fi
  "$here/../testserver/make_test_ca.sh" "$dir"
  rm -f "$dir/api.env"
  # setsid: a terminal's Ctrl-C meant for the caller does not reach the server.
  setsid python3 "$script" --http-port 0 --https-port 0 --cert "$dir/server.pem" --key "$dir/server.key" \
    --ready-file "$dir/api.env" "$@" </dev/null >"$dir/api.log" 2>&1 &
  pid=$!
  for ((i = 0; i < 200; i++)); do
    [ -s "$dir/api.env" ] && break
    is_running "$pid" || break
    sleep 0.05
  done
  if [ ! -s "$dir/api.env" ]; then
    stop_pid "$pid" "$script"
    cat "$dir/api.log" >&2
    die "the API stand-in did not start"
  fi
  cat "$dir/api.env"
  ;;
stop)
  [ -f "$dir/api.env" ] || exit 0
  stop_pid "$(env_value "$dir/api.env" PID)" "$script"
  rm -f "$dir/api.env"
  ;;
*)
  echo "usage: $0 start|stop DIR [server flags...]" >&2
  exit 2
  ;;
esac

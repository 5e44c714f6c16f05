#!/usr/bin/env bash
# serverctl.sh start DIR [SERVER FLAGS...]   start qarto_test_server.py in the background
# serverctl.sh stop DIR                      stop it and wait until it has ended
#
# start makes the test certificates in DIR (make_test_ca.sh), starts the server with
# HTTP and HTTPS on free loopback ports, waits (at most 10 s) until it listens and
# leaves DIR/server.env with HTTP_PORT, HTTPS_PORT, PROXY_PORT (with --proxy-port) and
# PID. The server's output goes to DIR/server.log. Extra flags are passed on, e.g.
#   serverctl.sh start "$dir" --root "$files" --proxy-port 0 --faults 'rate=4000000'
set -euo pipefail
# shellcheck source=tools/testserver/lib.sh
source "$(dirname "$0")/lib.sh"
[ $# -ge 2 ] || { echo "usage: $0 start|stop DIR [server flags...]" >&2; exit 2; }
command=$1 dir=$2
shift 2
script=$testserver_dir/qarto_test_server.py

case $command in
start)
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  if [ -f "$dir/server.env" ] && is_running "$(env_value "$dir/server.env" PID)"; then
    die "a server already runs for $dir (pid $(env_value "$dir/server.env" PID))"
  fi
  "$testserver_dir/make_test_ca.sh" "$dir"
  rm -f "$dir/server.env"
  # setsid: a terminal's Ctrl-C meant for the caller does not reach the server.
  setsid python3 "$script" --http-port 0 --https-port 0 --cert "$dir/server.pem" --key "$dir/server.key" \
    --ready-file "$dir/server.env" "$@" </dev/null >"$dir/server.log" 2>&1 &
  pid=$!
  for ((i = 0; i < 200; i++)); do
    [ -s "$dir/server.env" ] && break
    is_running "$pid" || break
    sleep 0.05
  done
  if [ ! -s "$dir/server.env" ]; then
    stop_pid "$pid" "$script"
    cat "$dir/server.log" >&2
    die "the test server did not start"
  fi
  cat "$dir/server.env"
  ;;
stop)
  [ -f "$dir/server.env" ] || exit 0
  stop_pid "$(env_value "$dir/server.env" PID)" "$script"
  rm -f "$dir/server.env"
  ;;
*)
  echo "usage: $0 start|stop DIR [server flags...]" >&2
  exit 2
  ;;
esac

#!/usr/bin/env bash
# tinyproxy.sh start DIR [USER:PASS]   run a real tinyproxy on loopback
# tinyproxy.sh stop DIR                stop it and wait until it has ended
#
# Listens on 127.0.0.1 only, admits only 127.0.0.1, has no upstream proxy and allows
# CONNECT to any port (the test servers' HTTPS ports are not 443). With USER:PASS it
# demands Basic proxy authentication (407 otherwise). Its config, log and
# tinyproxy.env (TINYPROXY_PORT, TINYPROXY_PID) are in DIR; nothing in /etc is used,
# so several instances run side by side.
set -euo pipefail
# shellcheck source=tools/testserver/lib.sh
source "$(dirname "$0")/lib.sh"
usage() { echo "usage: $0 start DIR [USER:PASS] | stop DIR" >&2; exit 2; }
[ $# -ge 2 ] || usage
command=$1 dir=$2
tinyproxy=${TINYPROXY:-/usr/bin/tinyproxy}

case $command in
start)
  [ $# -le 3 ] || usage
  auth=${3:-}
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  if [ -f "$dir/tinyproxy.env" ] && is_running "$(env_value "$dir/tinyproxy.env" TINYPROXY_PID)"; then
    die "tinyproxy already runs for $dir"
  fi
  rm -f "$dir/tinyproxy.env"
  for _ in 1 2 3 4 5; do
    port=$(free_ports 1)
    {
      echo "Port $port"
      echo "Listen 127.0.0.1"
      echo "Allow 127.0.0.1"
      echo "Timeout 120"
      echo "MaxClients 64"
      echo "LogFile \"$dir/tinyproxy.log\""
      echo "LogLevel Info"
      echo "PidFile \"$dir/tinyproxy.pid\""
      echo "DisableViaHeader Yes"
      # Run as root it would otherwise keep root; its log is in DIR, which it can write.
      [ "$(id -u)" -ne 0 ] || { echo "User root"; echo "Group root"; }
      [ -z "$auth" ] || echo "BasicAuth ${auth%%:*} ${auth#*:}"
    } >"$dir/tinyproxy.conf"
    # -d: in the foreground of its own session, so that its pid is the one we know.
    setsid "$tinyproxy" -d -c "$dir/tinyproxy.conf" </dev/null >>"$dir/tinyproxy.out" 2>&1 &
    pid=$!
    if wait_port "$port" "$pid" 10; then
      printf 'TINYPROXY_PORT=%s\nTINYPROXY_PID=%s\n' "$port" "$pid" >"$dir/tinyproxy.env"
      cat "$dir/tinyproxy.env"
      exit 0
    fi
    stop_pid "$pid" "$dir/tinyproxy.conf"
    cat "$dir/tinyproxy.log" "$dir/tinyproxy.out" 2>/dev/null | grep -q "Address already in use" || break
  done
  tail -n 20 "$dir/tinyproxy.log" "$dir/tinyproxy.out" >&2 2>/dev/null || true
  die "tinyproxy did not start"
  ;;
stop)
  [ -f "$dir/tinyproxy.env" ] || exit 0
  stop_pid "$(env_value "$dir/tinyproxy.env" TINYPROXY_PID)" "$dir/tinyproxy.conf"
  rm -f "$dir/tinyproxy.env"
  ;;
*) usage ;;
esac

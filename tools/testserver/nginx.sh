#!/usr/bin/env bash
# nginx.sh start DIR ROOT [EXTRA]   serve ROOT with a real nginx over HTTP and HTTPS on loopback
# nginx.sh stop DIR                 stop it and wait until it has ended
#
# Everything of this instance lives in DIR: nginx.conf, the test certificates
# (make_test_ca.sh), logs, temporary files, the pid file, and nginx.env with
# NGINX_HTTP_PORT, NGINX_HTTPS_PORT and NGINX_PID. Nothing in /etc or /var is used, so
# several instances run side by side. sendfile is on, as on a production server.
# EXTRA, a file of server-block directives (limit_rate, locations), is included in
# the server block. The access log has one line per request: address, time, request
# line, status, body bytes sent, the Range header, request time.
set -euo pipefail
# shellcheck source=tools/testserver/lib.sh
source "$(dirname "$0")/lib.sh"
usage() { echo "usage: $0 start DIR ROOT [EXTRA] | stop DIR" >&2; exit 2; }
[ $# -ge 2 ] || usage
command=$1 dir=$2
nginx=${NGINX:-/usr/sbin/nginx}

case $command in
start)
  [ $# -eq 3 ] || [ $# -eq 4 ] || usage
  [ -d "$3" ] || die "no folder $3"
  root=$(cd "$3" && pwd)
  include_line=
  if [ $# -eq 4 ]; then
    [ -f "$4" ] || die "no file $4"
    include_line="include $(cd "$(dirname "$4")" && pwd)/$(basename "$4");"
  fi
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  if [ -f "$dir/nginx.env" ] && is_running "$(env_value "$dir/nginx.env" NGINX_PID)"; then
    die "nginx already runs for $dir"
  fi
  "$testserver_dir/make_test_ca.sh" "$dir"
  mkdir -p "$dir/nginx-temp"
  rm -f "$dir/nginx.env"
  # Run as root, nginx would hand its workers to "nobody", who may not read ROOT.
  user_line=
  [ "$(id -u)" -ne 0 ] || user_line="user root;"
  for _ in 1 2 3 4 5; do
    read -r http_port https_port <<<"$(free_ports 2)"
    cat >"$dir/nginx.conf" <<EOF
$user_line
daemon off;
master_process on;
worker_processes 1;
pid $dir/nginx.pid;
error_log $dir/nginx-error.log info;
events { worker_connections 256; }
http {
    log_format qarto '\$remote_addr [\$time_local] "\$request" \$status \$body_bytes_sent "\$http_range" \$request_time';
    access_log $dir/nginx-access.log qarto;
    client_body_temp_path $dir/nginx-temp/body;
    proxy_temp_path $dir/nginx-temp/proxy;
    fastcgi_temp_path $dir/nginx-temp/fastcgi;
    uwsgi_temp_path $dir/nginx-temp/uwsgi;
    scgi_temp_path $dir/nginx-temp/scgi;
    default_type application/octet-stream;
    sendfile on;
    tcp_nopush on;
    keepalive_timeout 30s;
    server {
        listen 127.0.0.1:$http_port;
        listen 127.0.0.1:$https_port ssl;
        server_name localhost;
        ssl_certificate $dir/server.pem;
        ssl_certificate_key $dir/server.key;
        ssl_protocols TLSv1.2 TLSv1.3;
        root $root;
        $include_line
    }
}
EOF
    # In the foreground of its own session, so that its pid is the one we know.
    setsid "$nginx" -p "$dir" -c "$dir/nginx.conf" -e "$dir/nginx-error.log" \
      </dev/null >>"$dir/nginx-output.log" 2>&1 &
    pid=$!
    if wait_port "$http_port" "$pid" 10 && wait_port "$https_port" "$pid" 10; then
      printf 'NGINX_HTTP_PORT=%s\nNGINX_HTTPS_PORT=%s\nNGINX_PID=%s\n' "$http_port" "$https_port" "$pid" \
        >"$dir/nginx.env"
      cat "$dir/nginx.env"
      exit 0
    fi
    stop_pid "$pid" "$dir/nginx.conf"
    # A port taken between choosing and binding: choose again. Anything else is final.
    cat "$dir/nginx-error.log" "$dir/nginx-output.log" 2>/dev/null | grep -q "Address already in use" || break
  done
  tail -n 20 "$dir/nginx-error.log" "$dir/nginx-output.log" >&2 2>/dev/null || true
  die "nginx did not start"
  ;;
stop)
  [ -f "$dir/nginx.env" ] || exit 0
  # QUIT: a graceful stop; stop_pid kills it if it takes longer than 10 s.
  stop_pid "$(env_value "$dir/nginx.env" NGINX_PID)" "$dir" QUIT
  rm -f "$dir/nginx.env"
  ;;
*) usage ;;
esac

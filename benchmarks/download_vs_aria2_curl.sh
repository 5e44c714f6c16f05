#!/usr/bin/env bash
# The download engine (qtool download) against aria2c -x4 and curl, each fetching
# the same file from a local nginx over loopback in the same rounds: wall time, CPU
# time and peak memory, medians over the rounds, and the ratios the engine is held
# to. The previous output is deleted before each run, outside the timing.
# "Download time" of the engine is the transfer as the engine reports it ("time
# download_s", first request to last byte): qtool's process also hashes the whole
# file for its result line, which is MD5 work that aria2c does not do; the process
# wall time is printed beside it, and the MD5-verifying run is held to its own goal
# with its whole process wall time. The resume figure compares transfer times the
# same way (a resumed download cannot skip hashing the whole file).
# usage: download_vs_aria2_curl.sh BENCH_TREE
#   ROUNDS=5, SIZES="64 512" (MiB), SCHEMES="http https"
set -euo pipefail
tree=$(cd "$1" && pwd)
qtool=$tree/tools/qtool/qtool
rounds=${ROUNDS:-5}
sizes=${SIZES:-"64 512"}
work=$tree/download-bench
mkdir -p "$work/root" "$work/out" "$work/logs"

for mib in $sizes; do
  f=$work/root/file-$mib.bin
  [ -s "$f" ] || head -c $((mib * 1024 * 1024)) /dev/urandom >"$f"
done

read -r port tls_port < <(python3 -c '
import socket
held = [socket.socket() for _ in range(2)]
for s in held: s.bind(("127.0.0.1", 0))
print(*(s.getsockname()[1] for s in held))')
"$(dirname "$0")/../tools/testserver/make_test_ca.sh" "$work/tls" >/dev/null
ca=$work/tls/ca.pem
cat >"$work/nginx.conf" <<CONF
worker_processes 2;
daemon on;
pid $work/nginx.pid;
error_log $work/logs/error.log;
events { worker_connections 256; }
http {
  access_log off;
  sendfile on;
  server {
    listen 127.0.0.1:$port;
    root $work/root;
    # The same files at a limited rate, so a stop lands where it is asked for.
    location /slow/ { alias $work/root/; limit_rate 32m; }
  }
  server {
    listen 127.0.0.1:$tls_port ssl;
    ssl_certificate $work/tls/server.pem;
    ssl_certificate_key $work/tls/server.key;
    root $work/root;
    location /slow/ { alias $work/root/; limit_rate 32m; }
  }
}
CONF
nginx -c "$work/nginx.conf" -p "$work"
trap 'kill "$(cat "$work/nginx.pid")" 2>/dev/null || true' EXIT
sleep 0.3

# run NAME COMMAND...: one timed run; appends "wall cpu peak_kib" to $work/NAME.times
run() {
  local name=$1; shift
  rm -f "$work/out/"*
  /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >"$work/$name.out" 2>&1
  awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$work/time.txt" >>"$work/$name.times"
}

median() {  # median of column $2 of file $1
  sort -n -k"$2" "$1" | awk -v c="$2" '{v[NR]=$c} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'
}

export QARTO_TLS_CA_FILE=$ca
for scheme in ${SCHEMES:-http https}; do
for mib in $sizes; do
  if [ "$scheme" = https ]; then url=https://127.0.0.1:$tls_port/file-$mib.bin; else url=http://127.0.0.1:$port/file-$mib.bin; fi
  sum=$(md5sum "$work/root/file-$mib.bin" | cut -d' ' -f1)
  rm -f "$work"/*.times "$work"/*.transfer "$work"/*.bytes
  for _ in $(seq "$rounds"); do
    run engine "$qtool" download --no-state "$url" "$work/out/engine.bin"
    sed -n 's/^time download_s=//p' "$work/engine.out" >>"$work/engine.transfer"
    run engine_md5 "$qtool" download --no-state --md5 "$sum" "$url" "$work/out/engine.bin"
    run aria2c aria2c -x4 -s4 --ca-certificate="$ca" --file-allocation=none --allow-overwrite=true --auto-file-renaming=false \
      --console-log-level=error --summary-interval=0 -d "$work/out" -o aria2c.bin "$url"
    run curl curl -s --cacert "$ca" -o "$work/out/curl.bin" "$url"
    run md5 openssl dgst -md5 "$work/root/file-$mib.bin"
    # Resume: stop at half (state kept), then time only the run that finishes it.
    rm -f "$work/out/"*
    QARTO_STOP_AT_BYTES=$((mib * 1024 * 1024 / 2)) "$qtool" download "${url/\/file-//slow/file-}" \
      "$work/out/resume.bin" >/dev/null || true
    sed -n 's/^DownloadedSize=//p' "$work/out/resume.bin.dat" >>"$work/stopped.bytes"
    /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$qtool" download "$url" "$work/out/resume.bin" \
      >"$work/resume.out" 2>&1
    awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$work/time.txt" >>"$work/resume.times"
    sed -n 's/^time download_s=//p' "$work/resume.out" >>"$work/resume.transfer"
    rm -f "$work/out/"*
    "$qtool" download "$url" "$work/out/full.bin" | sed -n 's/^time download_s=//p' >>"$work/full.transfer"
  done
  echo "  $mib MiB over ${scheme^^}, median of $rounds rounds:"
  printf '    %-11s %8s %8s %10s\n' tool wall_s cpu_s peak_MiB
  for t in engine engine_md5 resume aria2c curl md5; do
    printf '    %-11s %8.3f %8.3f %10.1f\n' "$t" "$(median "$work/$t.times" 1)" "$(median "$work/$t.times" 2)" \
      "$(echo "$(median "$work/$t.times" 3) / 1024" | bc -l)"
  done
  if [ -n "${WIN_QTOOL:-}" ]; then
    # The Windows build under Wine (WIN_QTOOL=<tree>/tools/qtool/qtool.exe, run with
    # that tree's wine-run; the test authority trusted in its prefix): the engine
    # alone, same file, same rounds. build/win64 runs at native speed everywhere.
    rm -f "$work/win.times"
    for _ in $(seq "$rounds"); do
      rm -f "$work/out/"*
      win_run=$(cd "$(dirname "$WIN_QTOOL")/../.." && pwd)/wine-run
      (cd "$work/out" && /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" \
        "$win_run" "$WIN_QTOOL" download --md5 "$sum" "$url" win.bin >"$work/win.out" 2>&1)
      grep -q "result success=1 code=0" "$work/win.out" || { echo "    Windows build failed:"; tail -n 2 "$work/win.out"; }
      awk '{printf "%s %.3f %s\n", $1, $2 + $3, $4}' "$work/time.txt" >>"$work/win.times"
    done
    printf '    %-11s %8.3f %8.3f   (Windows build under Wine, with MD5; peak memory not comparable)\n' \
      windows "$(median "$work/win.times" 1)" "$(median "$work/win.times" 2)"
  fi
  python3 - "$work" "$mib" <<'PY'
import statistics, sys
work, mib = sys.argv[1], int(sys.argv[2])
stopped = statistics.median(float(l) for l in open(f"{work}/stopped.bytes") if l.strip())
print(f"    stops landed at {100 * stopped / (mib * 1048576):.1f}% (median)")
def med(name, col):
    return statistics.median(float(l.split()[col]) for l in open(f"{work}/{name}.times"))
def med_transfer(name):
    return statistics.median(float(l) for l in open(f"{work}/{name}.transfer") if l.strip())
a_wall, a_cpu = med("aria2c", 0), med("aria2c", 1)
checks = [
    ("engine download time / aria2c wall", med_transfer("engine") / a_wall, 1.0),
    ("engine process wall (download + MD5 for the result line) / aria2c wall", med("engine", 0) / a_wall, None),
    ("engine+MD5 wall / aria2c wall", med("engine_md5", 0) / a_wall, 1.3),
    ("engine CPU / (aria2c CPU + openssl md5 CPU)", med("engine_md5", 1) / (a_cpu + med("md5", 1)), 1.0),
    ("engine peak memory MiB", med("engine_md5", 2) / 1024, 24.0),
    ("resume from 50% / full download, process wall", med("resume", 0) / med("engine", 0), None),
    ("resume from 50% / full download, transfer time", med_transfer("resume") / med_transfer("full"), 0.6),
    ("curl wall / aria2c wall (reference)", med("curl", 0) / a_wall, None),
]
for name, value, limit in checks:
    verdict = "" if limit is None else ("  ok (<= %g)" % limit if value <= limit else "  OVER (goal <= %g)" % limit)
    print(f"    {name}: {value:.2f}{verdict}")
PY
done
done

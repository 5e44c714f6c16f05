# shellcheck shell=bash
# Helpers shared by serverctl.sh, nginx.sh and tinyproxy.sh. Sourced, not run.

# shellcheck disable=SC2034  # used by the scripts that source this
testserver_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

die() { echo "$(basename "$0"): $*" >&2; exit 1; }

# free_ports N: N distinct loopback ports that are free right now. They are held open
# together while chosen, so two of them are never the same; another program may still
# take one before we bind it, which is why the callers retry a failed start.
free_ports() {
  python3 - "$1" <<'EOF'
import socket, sys
held = []
for _ in range(int(sys.argv[1])):
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    held.append(s)
print(" ".join(str(s.getsockname()[1]) for s in held))
EOF
}

# is_running PID: the process exists and is not a zombie. Our servers are not our
# children once the starting script has returned, and whatever adopts them may be
# slow to reap them (or never do, in a container), so kill -0 alone is not enough.
is_running() {
  local state
  state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ] && [ "$state" != X ]
}

# owns PID PATTERN: the process's command line contains PATTERN. Guards against
# signalling an unrelated process that got a recycled PID after ours ended.
owns() { tr '\0' ' ' <"/proc/$1/cmdline" 2>/dev/null | grep -qF -- "$2"; }

# wait_port PORT PID SECONDS: wait until PORT accepts connections, as long as PID runs.
wait_port() {
  local port=$1 pid=$2 deadline=$((SECONDS + $3))
  while [ $SECONDS -lt "$deadline" ]; do
    is_running "$pid" || return 1
    if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then return 0; fi
    sleep 0.05
  done
  return 1
}

# stop_pid PID PATTERN [SIGNAL]: signal the process (TERM by default) if it is ours,
# wait up to 10 s for it to end, then kill it.
stop_pid() {
  local pid=$1 pattern=$2 signal=${3:-TERM} i
  is_running "$pid" && owns "$pid" "$pattern" || return 0
  kill -"$signal" "$pid" 2>/dev/null || return 0
  for ((i = 0; i < 200; i++)); do
    is_running "$pid" || return 0
    sleep 0.05
  done
  echo "$(basename "$0"): $pid did not end on SIG$signal; killing it" >&2
  kill -KILL "$pid" 2>/dev/null || true
  for ((i = 0; i < 40; i++)); do
    is_running "$pid" || return 0
    sleep 0.05
  done
  return 1
}

# env_value FILE KEY: the value of KEY=VALUE in FILE (no sourcing of foreign files).
env_value() { sed -n "s/^$2=//p" "$1" 2>/dev/null | head -n1; }

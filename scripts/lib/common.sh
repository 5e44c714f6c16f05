# Shared helpers for the scripts in scripts/. Source it; it sets strict mode.
set -euo pipefail

QARTO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
QARTO_CACHE=${QARTO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qarto-installer}
export QARTO_CACHE
JOBS=${JOBS:-$(nproc)}

# step NAME COMMAND...: runs a named step, prints its name and how long it took.
step() {
  local name=$1; shift
  local t0=$SECONDS
  echo "==> $name"
  "$@"
  local dt=$((SECONDS - t0))
  if [ "$dt" -ge 2 ]; then echo "    $name: ${dt}s"; fi
}

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then SUDO=sudo; else
      echo "error: installing packages needs root (or sudo)" >&2; exit 1; fi
  else SUDO=; fi
}

# Shared helpers for the scripts in scripts/. Source it; it sets strict mode.
set -euo pipefail

QARTO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
QARTO_CACHE=${QARTO_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qarto-installer}
export QARTO_CACHE
JOBS=${JOBS:-$(nproc)}

# step NAME COMMAND...: runs a named step, prints its name and how long it took, and
# records it for stage_table. A failing command ends the script as before (errexit
# stays in force inside the step); the step is then listed as unfinished. Where the
# caller tests the step (step ... || rc=$?), the step returns the command's status. Nested
# steps (a dependency build inside its stage) are listed indented under it.
QARTO_STAGES=()
QARTO_OPEN_STEPS=()   # "start-seconds name" of the steps still running, outermost first
step() {
  local name=$1; shift
  local t0=$SECONDS depth=${#QARTO_OPEN_STEPS[@]}
  echo "==> $name"
  QARTO_OPEN_STEPS+=("$t0 $name")
  "$@"
  # Reached after a failure only where the caller tests the step ("step ... || rc=$?",
  # errexit is off there): the command's status is the step's.
  local status=$?
  unset 'QARTO_OPEN_STEPS[-1]'
  local dt=$((SECONDS - t0))
  if [ "$dt" -ge 2 ]; then echo "    $name: ${dt}s"; fi
  record_stage "$name" "$dt" "$depth"
  return "$status"
}

# record_stage NAME SECONDS [DEPTH]: a stage in the table (also one timed elsewhere,
# such as a background job).
record_stage() {
  local indent
  printf -v indent '%*s' $((${3:-0} * 2)) ''
  QARTO_STAGES+=("$(printf '%6ds  %s%s' "$2" "$indent" "$1")")
}

# stage_table: where the time went, one line per step in the order they ended, the
# steps that never ended (the failing one) last.
stage_table() {
  local open
  for open in "${QARTO_OPEN_STEPS[@]}"; do
    record_stage "${open#* } (did not finish)" $((SECONDS - ${open%% *}))
  done
  QARTO_OPEN_STEPS=()
  [ ${#QARTO_STAGES[@]} -gt 0 ] || return 0
  echo "==> time per stage"
  printf '    %s\n' "${QARTO_STAGES[@]}"
  printf '    %6ds  %s\n' "$SECONDS" "in all"
}

need_root() {
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null; then SUDO=sudo; else
      echo "error: installing packages needs root (or sudo)" >&2; exit 1; fi
  else SUDO=; fi
}

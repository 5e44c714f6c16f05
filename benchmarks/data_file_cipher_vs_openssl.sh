#!/usr/bin/env bash
# Times the data-file cipher against `openssl enc -aes-256-cbc -nopad` on the same
# 64 MiB file in the same run, both as whole processes reading and writing files,
# and prints throughput and the ratio ours/openssl for each direction (goal: at
# least 0.8). Our output is also checked against openssl's: on whole blocks the two
# differ only by the 0x3D mask.
#   benchmarks/data_file_cipher_vs_openssl.sh BENCH_TREE   (scripts/bench passes it)
set -euo pipefail

tree=${1:?usage: $0 BENCH_TREE}
tool=$tree/benchmarks/data_file_cipher_tool
[ -x "$tool" ] || { echo "error: $tool is not built" >&2; exit 1; }
runs=${RUNS:-5}
mib=64

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

hex() { od -An -v -tx1 | tr -d ' \n'; }
key=$(printf '%s' '_K7R3W9q2m0x5j11_aHtC4_93d58_Z6=' | hex)
iv=$(head -c 16 /dev/zero | openssl enc -aes-256-ecb -nopad -K "$key" | hex)
head -c $((mib * 1024 * 1024)) /dev/urandom >"$work/plain"

# best_ns COMMAND...: the fastest of $runs runs, in nanoseconds.
best_ns() {
  local best=0 t0 t1 i
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s%N)
    "$@"
    t1=$(date +%s%N)
    if [ "$best" -eq 0 ] || [ $((t1 - t0)) -lt "$best" ]; then best=$((t1 - t0)); fi
  done
  echo "$best"
}

openssl_enc() { openssl enc -aes-256-cbc -nopad -K "$key" -iv "$iv" "$@"; }

ref_enc=$(best_ns openssl_enc -in "$work/plain" -out "$work/ref.enc")
our_enc=$(best_ns "$tool" enc "$work/plain" "$work/our.enc")
ref_dec=$(best_ns openssl_enc -d -in "$work/ref.enc" -out "$work/ref.dec")
our_dec=$(best_ns "$tool" dec "$work/our.enc" "$work/our.dec")

cmp -s "$work/plain" "$work/our.dec" || { echo "error: our decryption differs from the plain file" >&2; exit 1; }
cmp -s "$work/plain" "$work/ref.dec" || { echo "error: openssl's decryption differs from the plain file" >&2; exit 1; }
python3 - "$work/our.enc" "$work/ref.enc" <<'PY' || { echo "error: our encryption is not openssl's XOR 0x3D" >&2; exit 1; }
import sys
ours = open(sys.argv[1], "rb").read()
ref = open(sys.argv[2], "rb").read()
sys.exit(0 if ours.translate(bytes(b ^ 0x3D for b in range(256))) == ref else 1)
PY

report() {
  awk -v name="$1" -v ours="$2" -v ref="$3" -v mib="$mib" 'BEGIN {
    o = mib / (ours / 1e9); r = mib / (ref / 1e9); ratio = o / r
    printf "    %-8s ours %8.1f MiB/s   openssl enc %8.1f MiB/s   ratio %.2f (%s)\n",
           name, o, r, ratio, (ratio >= 0.8 ? "goal 0.8 met" : "BELOW goal 0.8")
  }'
}
echo "    $mib MiB file to file, best of $runs runs each"
report encrypt "$our_enc" "$ref_enc"
report decrypt "$our_dec" "$ref_dec"

#!/usr/bin/env bash
# Time per key (one write and one read) of TSafeIniFile at N = 1,000, 10,000 and
# 100,000 keys in one section, and the ratio of the largest to the smallest.
# Constant-time look-ups keep the ratio near 1 (the goal: at most 1.5).
# usage: safe_ini_scaling.sh BENCH_TREE
set -euo pipefail
out=$("$1/benchmarks/bench_safe_ini" --benchmark_format=json --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true 2>/dev/null)
python3 - "$out" <<'PY'
import json, sys
runs = json.loads(sys.argv[1])["benchmarks"]
per_op = {}
for r in runs:
    if r.get("aggregate_name") != "median":
        continue
    n = int(r["run_name"].split("/")[1])
    per_op[n] = 1e9 / r["items_per_second"]
for n in sorted(per_op):
    print(f"  N={n:>6}: {per_op[n]:7.1f} ns per key (write + read)")
print(f"  ratio N=100000 / N=1000: {per_op[100000] / per_op[1000]:.2f} (goal: at most 1.5)")
PY

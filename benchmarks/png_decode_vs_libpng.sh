#!/usr/bin/env bash
# Times our PNG decoder against libpng on the same 640x390 RGBA skin picture (written
# by libpng at its default compression), both decoding to straight 8-bit RGBA in the
# same run, and prints both times and the ratio of our speed to libpng's (goal: at
# least 0.7). The pixels are compared before timing.
#   benchmarks/png_decode_vs_libpng.sh BENCH_TREE   (scripts/bench passes it)
set -euo pipefail

tree=${1:?usage: $0 BENCH_TREE}
bench=$tree/benchmarks/bench_png_decode
[ -x "$bench" ] || { echo "error: $bench is not built" >&2; exit 1; }
runs=${RUNS:-5}

# Median of $runs repetitions of each, as CSV: name,iterations,real_time,cpu_time,unit,...
csv=$("$bench" --benchmark_filter='BM_PngDecodeRgba8_' --benchmark_repetitions="$runs" \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null)
echo "$csv" | awk -F, -v runs="$runs" '
  /_median"?,/ {
    name = $1; gsub(/"/, "", name)
    if (name ~ /_Ours_median/) ours = $4
    if (name ~ /_Libpng_median/) ref = $4
    unit = $5
  }
  $9 == "true" { bad = 1 }  # error_occurred: our pixels differ from those of libpng
  END {
    if (bad || ours == "" || ref == "") { print "error: the benchmark failed (our pixels differ from those of libpng?)" > "/dev/stderr"; exit 1 }
    ratio = ref / ours
    printf "    640x390 RGBA, median of %d runs (CPU time)\n", runs
    printf "    ours %8.0f %s   libpng %8.0f %s   speed ratio ours/libpng %.2f (%s)\n",
           ours, unit, ref, unit, ratio, (ratio >= 0.7 ? "goal 0.7 met" : "BELOW goal 0.7")
  }'

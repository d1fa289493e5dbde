#!/usr/bin/env bash
# Runs every benchmark program of a build tree; each prints its own ratios.
set -euo pipefail
dir=${1:-build/default}
found=0
for b in "$dir"/bench/bench_*; do
  [ -f "$b" ] && [ -x "$b" ] || continue  # programs only (not the moc output folder)
  found=1
  echo "== $(basename "$b")"
  "$b" --benchmark_min_time=0.2
done
[ $found -eq 1 ] || echo "no benchmarks built under $dir/bench"

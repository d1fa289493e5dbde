#!/usr/bin/env bash
# Runs every fuzz target of a build tree for a bounded time each, starting
# from the checked-in seed corpus (copied to a scratch folder, so the seeds
# stay as they are). Fails when any target finds a fault; prints each
# target's execution count.
#   tools/run-fuzzers.sh [build dir] [seconds per target]
set -euo pipefail
dir=${1:-build/fuzz}
seconds=${2:-60}
src=$(cd "$(dirname "$0")/.." && pwd)
status=0
found=0
for f in "$dir"/fuzz/fuzz_*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  found=1
  name=$(basename "$f")
  work="$dir/fuzz/corpus-$name"
  mkdir -p "$work"
  if [ -d "$src/fuzz/corpus/$name" ]; then cp -n "$src/fuzz/corpus/$name"/* "$work"/ 2>/dev/null || true; fi
  echo "== $name (${seconds}s)"
  if ! "$f" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
      -artifact_prefix="$dir/fuzz/$name-" "$work" 2>"$dir/fuzz/$name.log"; then
    tail -n 60 "$dir/fuzz/$name.log"
    echo "!! $name failed; the input is saved as $dir/fuzz/$name-*"
    status=1
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$dir/fuzz/$name.log" || true
done
if [ $found -eq 0 ]; then
  echo "no fuzz targets under $dir/fuzz" >&2
  exit 1
fi
exit $status

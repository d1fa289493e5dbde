#!/usr/bin/env bash
# Runs every fuzz target of a build tree for a bounded time, starting from the
# checked-in seed corpus (copied to a scratch folder, so the seeds stay as they are).
set -euo pipefail
dir=${1:-build/fuzz}
seconds=${2:-60}
src=$(cd "$(dirname "$0")/.." && pwd)
status=0
for f in "$dir"/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  name=$(basename "$f")
  work="$dir/fuzz/corpus-$name"
  mkdir -p "$work"
  [ -d "$src/fuzz/corpus/$name" ] && cp -n "$src/fuzz/corpus/$name"/* "$work"/ 2>/dev/null || true
  echo "== $name (${seconds}s)"
  if ! "$f" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$dir/fuzz/$name-" "$work" 2>"$dir/fuzz/$name.log"; then
    tail -n 40 "$dir/fuzz/$name.log"
    status=1
  fi
  grep -E 'stat::number_of_executed_units|stat::peak_rss_mb' "$dir/fuzz/$name.log" || true
done
exit $status

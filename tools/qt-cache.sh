# shellcheck shell=bash
# Sourced by build-qt-mingw.sh and build-qt4.sh: a Qt build installed once
# into a folder of the cache, outside the tree, and a logged run of each step.
#   qt_cache_enter NAME   prefix, stamp, log and work for $cache/NAME; waits
#                         while another build runs; a complete NAME is printed
#                         and the script ends there; otherwise starts afresh
#   run CMD...            CMD with its output in the log; on failure the end
#                         of the log and the script's end
#   qt_cache_done TEXT    marks the prefix complete (TEXT into its stamp) and
#                         prints it, the last line of stdout
cache=${CADENCEHOST_CACHE:-$HOME/.cache/cadencehost}

qt_cache_enter() {
  prefix=$cache/$1
  stamp=$prefix/.complete
  log=$cache/$1.log
  work=$cache/$1.work
  mkdir -p "$cache"
  exec 9>"$cache/.qt-build.lock"
  flock 9  # one build at a time; a second caller waits, then finds the stamp
  if [ -f "$stamp" ]; then
    echo "$prefix"
    exit 0
  fi
  start=$SECONDS
  : >"$log"
  rm -rf "$prefix" "$work"
  mkdir -p "$work/build"
}

run() {
  if ! "$@" </dev/null >>"$log" 2>&1; then
    echo "failed: $*" >&2
    echo "--- last lines of $log:" >&2
    tail -n 40 "$log" >&2
    exit 1
  fi
}

qt_cache_done() {
  cd "$cache"
  rm -rf "$work"
  printf '%s\n' "$1" >"$stamp"
  echo "Done in $((SECONDS - start)) s" >&2
  echo "$prefix"
}

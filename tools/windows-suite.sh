#!/usr/bin/env bash
# What `make windows` (Qt 5.15) and `make windows-qt4` (`windows-suite.sh 4`)
# run once the packages are there: QtCore for mingw-w64 from its cache folder
# (built there on first use, see build-qt-mingw.sh and build-qt4.sh), the
# whole project cross-built with the `windows` or `windows-qt4` preset, and
# the suite run under wine through CTest. Ends with how many tests ran under
# wine and the list of those that did not; fails when a test failed.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}

case "${1:-5}" in
  5)
    preset=windows
    prefix=$(tools/build-qt-mingw.sh | tail -1)
    qt_args=()
    ;;
  4)
    preset=windows-qt4
    prefix=$(tools/build-qt4.sh mingw | tail -1)
    qt_args=(-DQT_QMAKE_EXECUTABLE="$prefix/bin/qmake")
    ;;
  *)
    echo "usage: $0 [5|4]" >&2
    exit 2
    ;;
esac
export CADENCEHOST_QT_MINGW_PREFIX=$prefix
cmake --preset "$preset" -DCADENCEHOST_QT_MINGW_PREFIX="$prefix" "${qt_args[@]}" >/dev/null
cmake --build --preset "$preset" -j "$jobs"

tools/wine-session.sh start
trap 'tools/wine-session.sh stop' EXIT
log=build/$preset/Testing/wine-suite.log
mkdir -p "$(dirname "$log")"
status=0
ctest --preset "$preset" -j "$jobs" 2>&1 | tee "$log" || status=$?

# "100% tests passed, 0 tests failed out of 227", then the skipped ones
# under "The following tests did not run:" (CTest counts them as passed).
total=$(sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
failed=$(sed -n 's/.*, \([0-9]*\) tests failed out of .*/\1/p' "$log" | tail -1)
not_run=$(awk '/^The following tests did not run:/ {list = 1; next} list && /^\t/ {print; next} {list = 0}' "$log")
count_not_run=$(printf '%s' "$not_run" | grep -c . || true)
echo "=== $preset: $((${total:-0} - count_not_run)) of ${total:-0} tests ran under wine, ${failed:-?} failed"
if [ "$count_not_run" -gt 0 ]; then
  echo "=== not run under wine:"
  printf '%s\n' "$not_run"
else
  echo "=== not run under wine: none"
fi
exit "$status"

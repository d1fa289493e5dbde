#!/usr/bin/env bash
# What `make windows` (Qt 5.15), `make windows-qt4` (`windows-suite.sh 4`)
# and `make windows-msvc` (`windows-suite.sh msvc`) run once the packages are
# there: QtCore for the target from its cache folder (built there on first
# use, see build-qt-mingw.sh and build-qt4.sh; for the MSVC ABI also the
# toolchain, build-msvc-toolchain.sh), the project cross-built with the
# `windows`, `windows-qt4` or `windows-msvc` preset, and the suite run under
# wine through CTest. Ends with how many tests ran under wine and the list of
# those that did not; fails when a test failed.
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
  msvc)
    preset=windows-msvc
    toolchain=$(tools/build-msvc-toolchain.sh | tail -1)
    prefix=$(tools/build-qt4.sh msvc | tail -1)
    export CADENCEHOST_MSVC_TOOLCHAIN=$toolchain CADENCEHOST_QT_MSVC_PREFIX=$prefix
    # The toolchain's paths are in the build's first configure (its link
    # flags): another toolchain needs a build of its own.
    cache_file=build/$preset/CMakeCache.txt
    if [ -f "$cache_file" ] && ! grep -qxF "CADENCEHOST_MSVC_TOOLCHAIN:PATH=$toolchain" "$cache_file"; then
      rm -rf "build/$preset"
    fi
    qt_args=(-DQT_QMAKE_EXECUTABLE="$prefix/bin/qmake" -DCADENCEHOST_MSVC_TOOLCHAIN="$toolchain"
             -DCADENCEHOST_QT_MSVC_PREFIX="$prefix")
    ;;
  *)
    echo "usage: $0 [5|4|msvc]" >&2
    exit 2
    ;;
esac
if [ "$preset" != windows-msvc ]; then
  export CADENCEHOST_QT_MINGW_PREFIX=$prefix
  qt_args+=(-DCADENCEHOST_QT_MINGW_PREFIX="$prefix")
fi
cmake --preset "$preset" "${qt_args[@]}" >/dev/null
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

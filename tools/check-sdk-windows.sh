#!/usr/bin/env bash
# The SDK check for 64-bit Windows: the SDK alone (no tests, no benchmarks)
# cross-built and installed into an empty prefix; both examples built out of
# tree against it with the same toolchain; then, under wine, the example host
# runs, the installed cadence-host.exe inspects and validates the example
# module, and validates the installed module.
#   tools/check-sdk-windows.sh [mingw]   mingw-w64 on QtCore 5.15 (preset windows-sdk)
#   tools/check-sdk-windows.sh msvc      the MSVC ABI with clang-cl on QtCore 4.8
#                                        (preset windows-msvc-sdk)
# QtCore and the MSVC toolchain come from their cache folders
# (tools/build-qt-mingw.sh, tools/build-qt4.sh msvc, tools/build-msvc-toolchain.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
jobs=${JOBS:-$(nproc)}

case "${1:-mingw}" in
  mingw)
    preset=windows-sdk
    qt_prefix=$(tools/build-qt-mingw.sh | tail -1)
    export CADENCEHOST_QT_MINGW_PREFIX=$qt_prefix
    settings=(-DCADENCEHOST_QT_MINGW_PREFIX="$qt_prefix")
    toolchain_file=$top/cmake/mingw-w64-x86_64.cmake
    ;;
  msvc)
    preset=windows-msvc-sdk
    toolchain=$(tools/build-msvc-toolchain.sh | tail -1)
    qt_prefix=$(tools/build-qt4.sh msvc | tail -1)
    export CADENCEHOST_MSVC_TOOLCHAIN=$toolchain CADENCEHOST_QT_MSVC_PREFIX=$qt_prefix
    settings=(-DCADENCEHOST_MSVC_TOOLCHAIN="$toolchain" -DCADENCEHOST_QT_MSVC_PREFIX="$qt_prefix"
              -DQT_QMAKE_EXECUTABLE="$qt_prefix/bin/qmake")
    toolchain_file=$top/cmake/clang-cl-msvc.cmake
    cache_file=build/$preset/CMakeCache.txt
    if [ -f "$cache_file" ] && ! grep -qxF "CADENCEHOST_MSVC_TOOLCHAIN:PATH=$toolchain" "$cache_file"; then
      rm -rf "build/$preset"  # another toolchain: a build of its own
    fi
    ;;
  *)
    echo "usage: $0 [mingw|msvc]" >&2
    exit 2
    ;;
esac
cmake --preset "$preset" "${settings[@]}" >/dev/null
cmake --build --preset "$preset" -j "$jobs"

work=$(mktemp -d)
trap 'tools/wine-session.sh stop; rm -rf "$work"' EXIT
cmake --install "build/$preset" --prefix "$work/prefix" >/dev/null
mv "$work/prefix" "$work/moved"  # nothing may point back at the install path
prefix=$work/moved
host=$prefix/bin/cadence-host.exe

# A cross build names the package's folder: the toolchain searches for
# packages under its own roots only.
cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" "${settings[@]}"
       -DCadenceHost_DIR="$prefix/lib/cmake/CadenceHost")
for example in minimal-host monotonic-clock; do
  echo "--- examples/$example with the $preset toolchain against the installed SDK"
  cmake -S "examples/$example" -B "$work/$example" "${cross[@]}" >/dev/null
  cmake --build "$work/$example" >/dev/null
done

tools/wine-session.sh start
# Windows programs end their lines with CR LF.
run() { tools/wine-run.sh "$@" | tr -d '\r'; }
echo "--- minimal-host.exe under wine"
run "$work/minimal-host/minimal-host.exe"
echo "--- cadence-host.exe inspect and validate monoclock_mod.dll"
run "$host" inspect --module "$work/monotonic-clock/monoclock_mod.dll"
run "$host" validate --module "$work/monotonic-clock/monoclock_mod.dll"
echo "--- the installed cadence-host.exe validates the installed module"
run "$host" validate

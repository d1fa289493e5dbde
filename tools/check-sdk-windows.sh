#!/usr/bin/env bash
# The SDK check for 64-bit Windows: the SDK alone (preset windows-sdk: no
# tests, no benchmarks) cross-built with mingw-w64 and installed into an
# empty prefix; both examples built out of tree against it with the same
# toolchain; then, under wine, the example host runs, the installed
# cadence-host.exe inspects and validates the example module, and validates
# the installed module. QtCore for mingw-w64 comes from its cache folder
# (tools/build-qt-mingw.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
jobs=${JOBS:-$(nproc)}

qt_prefix=$(tools/build-qt-mingw.sh | tail -1)
export CADENCEHOST_QT_MINGW_PREFIX=$qt_prefix
cmake --preset windows-sdk -DCADENCEHOST_QT_MINGW_PREFIX="$qt_prefix" >/dev/null
cmake --build --preset windows-sdk -j "$jobs"

work=$(mktemp -d)
trap 'tools/wine-session.sh stop; rm -rf "$work"' EXIT
cmake --install build/windows-sdk --prefix "$work/prefix" >/dev/null
mv "$work/prefix" "$work/moved"  # nothing may point back at the install path
prefix=$work/moved
host=$prefix/bin/cadence-host.exe

# A cross build names the package's folder: the toolchain searches for
# packages under its own roots only.
cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake"
       -DCADENCEHOST_QT_MINGW_PREFIX="$qt_prefix" -DCadenceHost_DIR="$prefix/lib/cmake/CadenceHost")
for example in minimal-host monotonic-clock; do
  echo "--- examples/$example with mingw-w64 against the installed SDK"
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

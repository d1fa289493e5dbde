#!/usr/bin/env bash
# What a host developer does with the SDK, from scratch: install the built
# project into an empty prefix, then build and run examples/minimal-host out
# of tree against it, once through the CMake package and once through
# pkg-config alone. Usage: tools/check-sdk.sh <build dir>
set -euo pipefail
build=${1:?usage: tools/check-sdk.sh <build dir>}
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
# Moved after installing: nothing in the tree may point back at the install path.
mv "$work/prefix" "$work/moved"
prefix=$work/moved
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig

# The module's Qt, and how a host finds it: QtCore 4 is the one the build
# used (tools/build-qt4.sh), through its qmake and its pkg-config file.
major=$(pkg-config --variable=qt_version_major cadencehost-sdk)
qt=Qt${major}Core
qt_args=()
if [ "$major" = 4 ]; then
  qmake=$(sed -n 's/^QT_QMAKE_EXECUTABLE:[A-Z]*=//p' "$build/CMakeCache.txt")
  qt_args=(-DQT_QMAKE_EXECUTABLE="$qmake")
  qt=QtCore
  PKG_CONFIG_PATH+=:$(dirname "$(dirname "$qmake")")/lib/pkgconfig
fi

echo "--- CMake package: find_package(CadenceHost) with CMAKE_PREFIX_PATH=<prefix>"
cmake -S "$top/examples/minimal-host" -B "$work/example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" "${qt_args[@]}" >/dev/null
cmake --build "$work/example" >/dev/null
"$work/example/minimal-host"

echo "--- pkg-config: cadencehost-sdk"
module=$(pkg-config --variable=module cadencehost-sdk)
# shellcheck disable=SC2046
g++ -std=c++20 -fPIC -o "$work/minimal-host-pc" "$top/examples/minimal-host/main.cpp" \
  -DMODULE_PATH="\"$module\"" $(pkg-config --cflags --libs cadencehost-sdk "$qt")
"$work/minimal-host-pc"
echo "--- the installed cadence-host finds the installed module"
"$prefix/bin/cadence-host" run --timer probe=50 --for 0.3 --quiet

#!/usr/bin/env bash
# What a host developer and a module author do with the SDK, from scratch:
# install the built project (the `sdk` preset: no tests, no benchmarks) into
# an empty prefix, then, out of tree against it: build and run
# examples/minimal-host through the CMake package and through pkg-config;
# build code with a Qt object of its own on CadenceHost::QtCore;
# build examples/monotonic-clock (a module of its own) through both, and
# have the installed cadence-host inspect and validate it; and see the CMake
# package stop a host that links the other Qt major.
# Usage: tools/check-sdk.sh <build dir>
set -euo pipefail
build=${1:?usage: tools/check-sdk.sh <build dir>}
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
# Moved after installing: nothing in the tree may point back at the install path.
mv "$work/prefix" "$work/moved"
prefix=$work/moved
host=$prefix/bin/cadence-host
export PKG_CONFIG_PATH=$prefix/lib/pkgconfig

# The module's Qt, and how a host finds it: QtCore 4 is the one the build
# used (tools/build-qt4.sh), through its qmake and its pkg-config file.
# (Read from the file: pkg-config answers nothing before it can find the Qt
# the package requires.)
major=$(sed -n 's/^qt_version_major=//p' "$prefix/lib/pkgconfig/cadencehost-sdk.pc")
qt_args=()
if [ "$major" = 4 ]; then
  qmake=$(sed -n 's/^QT_QMAKE_EXECUTABLE:[A-Z]*=//p' "$build/CMakeCache.txt")
  qt_args=(-DQT_QMAKE_EXECUTABLE="$qmake")
  PKG_CONFIG_PATH+=:$(dirname "$(dirname "$qmake")")/lib/pkgconfig
fi

echo "--- CMake package: find_package(CadenceHost) with CMAKE_PREFIX_PATH=<prefix>"
cmake -S "$top/examples/minimal-host" -B "$work/example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" "${qt_args[@]}" >/dev/null
cmake --build "$work/example" >/dev/null
"$work/example/minimal-host"

echo "--- pkg-config: cadencehost-sdk (C++20 and the module's Qt come with it)"
module=$(pkg-config --variable=module cadencehost-sdk)
# shellcheck disable=SC2046
g++ -fPIC -o "$work/minimal-host-pc" "$top/examples/minimal-host/main.cpp" -DMODULE_PATH="\"$module\"" \
  $(pkg-config --cflags --libs cadencehost-sdk)
"$work/minimal-host-pc"

echo "--- a module of its own: examples/monotonic-clock through the CMake package"
cmake -S "$top/examples/monotonic-clock" -B "$work/clock" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" "${qt_args[@]}" >/dev/null
cmake --build "$work/clock" >/dev/null
"$host" inspect --module "$work/clock/monoclock_mod.so"
"$host" validate --module "$work/clock/monoclock_mod.so"

echo "--- CadenceHost::QtCore: code with Qt objects of its own, on the module's Qt, found by the package alone"
mkdir -p "$work/qt-object"
cat >"$work/qt-object/main.cpp" <<'CPP'
#include <QObject>
#include <cstdio>
int main() {
  QObject object;
  object.setObjectName(QString::fromLatin1("mine"));
  std::printf("a QObject of Qt %d\n", QT_VERSION >> 16);
  return object.objectName() == QString::fromLatin1("mine") ? 0 : 1;
}
CPP
cat >"$work/qt-object/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.21)
project(qt_object LANGUAGES CXX)
find_package(CadenceHost CONFIG REQUIRED)
add_executable(qt-object main.cpp)
target_link_libraries(qt-object PRIVATE CadenceHost::QtCore)
CMAKE
cmake -S "$work/qt-object" -B "$work/qt-object/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/qt-object/build" >/dev/null
"$work/qt-object/build/qt-object"

echo "--- the same module through pkg-config: cadencehost-module"
# shellcheck disable=SC2046
g++ -shared -fPIC -o "$work/monoclock_mod.so" "$top/examples/monotonic-clock/clock_service.cpp" \
  "$top/examples/monotonic-clock/stopwatch.cpp" "$top/examples/monotonic-clock/identity.cpp" -DMONOCLOCK_BUILD_DATE='"2024-01-01 00:00"' \
  $(pkg-config --cflags --libs cadencehost-module)
"$host" validate --module "$work/monoclock_mod.so" --json >/dev/null && echo "validate: all passed"

echo "--- the installed cadence-host finds the installed module"
"$host" run --timer probe=50 --for 0.3 --quiet
"$host" validate >/dev/null && echo "validate: all passed"

echo "--- a host that links the other Qt major is stopped"
qt=$(pkg-config --variable=qt_version_major cadencehost-sdk)
other=$([ "$qt" = 5 ] && echo 6 || echo 5)
mkdir -p "$work/other-qt"
touch "$work/other-qt/main.cpp"
cat >"$work/other-qt/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.21)
project(other_qt_host LANGUAGES CXX)
find_package(CadenceHost CONFIG REQUIRED)
find_package(Qt$other REQUIRED COMPONENTS Core)
add_executable(other-qt-host main.cpp)
target_link_libraries(other-qt-host PRIVATE CadenceHost::sdk Qt$other::Core)
CMAKE
if cmake -S "$work/other-qt" -B "$work/other-qt/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
     >"$work/other-qt.log" 2>&1; then
  echo "a host linking Qt$other::Core against a module of Qt $qt was configured" >&2
  exit 1
fi
grep -q "is built with Qt $qt" "$work/other-qt.log" || { cat "$work/other-qt.log" >&2; exit 1; }
sed -n "/CMake Error/,/^$/p" "$work/other-qt.log"

#!/usr/bin/env bash
# Builds QtCore 4.8 with moc and qmake, for Linux (`linux`, the default),
# cross-built for x86_64-w64-mingw32 (`mingw`) or in the MSVC C++ ABI with
# clang-cl (`msvc`, see build_msvc below), from the trimmed Qt 4.8.7 source
# archive, and installs it into a cache folder keyed by the archive, the
# target and the build flags. Does nothing when that folder is already
# complete. The last line of stdout is the prefix:
#   prefix=$(tools/build-qt4.sh linux | tail -1)
#
# The archive: $CADENCEHOST_QT4_ARCHIVE, else <repo>/../shared/qt4/ or
# /work/shared/qt4/; checked against the SHA256SUMS beside it or, where there
# is none, against $CADENCEHOST_QT4_SHA256 or the hash kept here. A Qt 4
# already installed elsewhere: $CADENCEHOST_QT4_PREFIX (linux),
# $CADENCEHOST_QT4_MINGW_PREFIX (mingw) or $CADENCEHOST_QT4_MSVC_PREFIX
# (msvc), used as it is.
set -euo pipefail

target=${1:-linux}
script_version=1  # bump when the way the prefix is built changes
archive_name=qt-4.8.7-corelib-src.tar.xz
known_sha256=75792d47f68df6374c802b954c2a132818de3280cd9793845467ea2a23db1e94
repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/tools/qt-cache.sh"
jobs=${JOBS:-$(nproc)}

fail() {
  echo "build-qt4.sh: $*" >&2
  exit 1
}

flags=(-opensource -confirm-license -release -shared -fast -no-gui -no-webkit -no-script
       -no-scripttools -no-declarative -no-xmlpatterns -no-phonon -no-multimedia
       -no-audio-backend -no-svg -no-opengl -no-openssl -no-dbus -no-qt3support
       -no-javascript-jit -no-accessibility -no-sql-sqlite -no-gtkstyle -no-cups -no-nis
       -no-glib -no-icu -nomake examples -nomake demos -nomake tests -nomake docs
       -nomake tools -nomake translations)
targets=(sub-tools-bootstrap sub-moc sub-corelib)
installs=(src/corelib src/tools/moc)
cxxflags=""
case "$target" in
  linux)
    installed=${CADENCEHOST_QT4_PREFIX:-}
    cxxflags=-std=gnu++98  # gcc 12's default dialect breaks Qt 4's sources
    ;;
  mingw)
    installed=${CADENCEHOST_QT4_MINGW_PREFIX:-}
    # configure builds qmake, bootstrap and moc for Linux by itself.
    flags+=(-platform linux-g++ -xplatform unsupported/win32-g++-x64-cross -qt-zlib -no-iconv)
    targets+=(sub-winmain)
    installs+=(src/winmain)
    ;;
  msvc)
    installed=${CADENCEHOST_QT4_MSVC_PREFIX:-}
    ;;
  *)
    echo "usage: $0 [linux|mingw|msvc]" >&2
    exit 2
    ;;
esac

if [ -n "$installed" ]; then
  [ -x "$installed/bin/qmake" ] || fail "no bin/qmake in the given Qt 4 prefix $installed"
  echo "$installed"
  exit 0
fi

archive=${CADENCEHOST_QT4_ARCHIVE:-}
if [ -z "$archive" ]; then
  for dir in "$repo/../shared/qt4" /work/shared/qt4; do
    if [ -f "$dir/$archive_name" ]; then archive=$dir/$archive_name; break; fi
  done
fi
[ -n "$archive" ] || fail "no Qt 4 source archive: put $archive_name in ../shared/qt4/ beside \
the repository, or give it with CADENCEHOST_QT4_ARCHIVE=path (or an installed Qt 4 with \
CADENCEHOST_QT4_PREFIX / CADENCEHOST_QT4_MINGW_PREFIX)"
[ -f "$archive" ] || fail "CADENCEHOST_QT4_ARCHIVE=$archive is not a file"
archive=$(cd "$(dirname "$archive")" && pwd)/$(basename "$archive")

sums=$(dirname "$archive")/SHA256SUMS
expected=""
[ -f "$sums" ] && expected=$(awk -v f="$(basename "$archive")" '$2 == f || $2 == "*" f {print $1}' "$sums")
[ -n "$expected" ] || expected=${CADENCEHOST_QT4_SHA256:-$known_sha256}
actual=$(sha256sum "$archive" | cut -d' ' -f1)
[ "$actual" = "$expected" ] || fail "$archive has sha256 $actual, expected $expected"
qt_version=$(basename "$archive" | grep -o '4\.[0-9]*\.[0-9]*' | head -1)

# CMake's FindQt4 insists on rcc, which the project never runs and this source
# does not hold: a stand-in that says so.
write_rcc_stand_in() {
  printf '#!/bin/sh\necho "rcc is not part of this QtCore-only build" >&2\nexit 1\n' >"$prefix/bin/rcc"
  chmod +x "$prefix/bin/rcc"
}

# Enters the cache folder $1 (the script ends there when it is complete) and
# unpacks the archive into its work folder: src is the folder holding
# configure. $2 names the target in the progress line.
enter_cache_and_unpack() {
  qt_cache_enter "$1"
  echo "Building QtCore $qt_version ($2) into $prefix (log: $log)" >&2
  run tar -xJf "$archive" -C "$work"
  src=$(find "$work" -mindepth 2 -maxdepth 2 -name configure -printf '%h\n' | head -1)
  [ -n "$src" ] || fail "no configure at the top of $archive"
}

# QtCore4.dll in the MSVC C++ ABI, built by the CMake project in
# tools/msvc/qtcore with cmake/clang-cl-msvc.cmake (the toolchain prefix from
# tools/build-msvc-toolchain.sh), with moc and qmake from the Linux build:
# that qmake answers FindQt4's queries for this prefix through the qt.conf
# beside it. Keyed also by the toolchain's and the Linux build's folders and
# the files of tools/msvc/qtcore.
build_msvc() {
  local toolchain linux tree_hash exports
  toolchain=$("$repo/tools/build-msvc-toolchain.sh" | tail -1)
  linux=$("$repo/tools/build-qt4.sh" linux | tail -1)
  [ -x "$linux/bin/moc" ] && [ -x "$linux/bin/qmake" ] || fail "no bin/moc or bin/qmake in $linux"
  tree_hash=$(cd "$repo" && find tools/msvc/qtcore -type f -print0 | LC_ALL=C sort -z |
              xargs -0 sha256sum | sha256sum | cut -c1-16)
  key=$(printf '%s\n' "$script_version" "$actual" "$target" "$(basename "$toolchain")" \
        "$(basename "$linux")" "$tree_hash" | sha256sum | cut -c1-8)
  enter_cache_and_unpack "qt4-msvc-${qt_version:-4}-$key" msvc

  echo "  QtCore4.dll with clang-cl" >&2
  run nice -n 10 cmake -G Ninja -S "$repo/tools/msvc/qtcore" -B "$work/build" \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/clang-cl-msvc.cmake" -DCADENCEHOST_MSVC_TOOLCHAIN="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DQT4_SOURCE="$src" \
    -DQT4_MOC="$linux/bin/moc" -DQT4_PREFIX_WINDOWS="Z:$prefix"
  run nice -n 10 cmake --build "$work/build" -j "$jobs"

  echo "  install" >&2
  run cmake --install "$work/build"
  run cp "$linux/bin/moc" "$linux/bin/qmake" "$prefix/bin/"
  printf '[Paths]\nPrefix=%s\n' "$prefix" >"$prefix/bin/qt.conf"
  write_rcc_stand_in
  [ "$("$prefix/bin/qmake" -query QT_INSTALL_LIBS)" = "$prefix/lib" ] ||
    fail "$prefix/bin/qmake does not answer for $prefix"
  exports=$(llvm-objdump-14 -p "$prefix/bin/QtCore4.dll")
  grep -q ' ?staticMetaObject@QObject@@2UQMetaObject@@B$' <<<"$exports" ||
    fail "$prefix/bin/QtCore4.dll does not export QObject::staticMetaObject in the MSVC ABI"

  qt_cache_done "$(printf 'archive %s\nsha256 %s\nscript %s\ntarget msvc\ntoolchain %s\nmoc %s\ntree %s' \
    "$(basename "$archive")" "$actual" "$script_version" "$toolchain" "$linux" "$tree_hash")"
}
if [ "$target" = msvc ]; then
  build_msvc
  exit 0
fi

key=$(printf '%s\n' "$script_version" "$actual" "$target" "$cxxflags" "${flags[@]}" "${targets[@]}" |
      sha256sum | cut -c1-8)
enter_cache_and_unpack "qt4-$target-${qt_version:-4}-$key" "$target"

echo "  configure (builds qmake)" >&2
cd "$work/build"
run env CXXFLAGS="$cxxflags" MAKEFLAGS=-j"$jobs" nice -n 10 "$src/configure" -prefix "$prefix" "${flags[@]}"

# One target after another: moc needs the bootstrap library, QtCore moc.
for t in "${targets[@]}"; do
  echo "  make $t" >&2
  run nice -n 10 make -j"$jobs" "$t"
done

echo "  install" >&2
for dir in "${installs[@]}"; do run make -C "$dir" install; done
run make install_qmake install_mkspecs
write_rcc_stand_in
if [ "$target" = linux ]; then
  # pkg-config's QtCore, as a full Qt 4 install has it (with the run path, as
  # the prefix is not where the loader looks).
  mkdir -p "$prefix/lib/pkgconfig"
  cat >"$prefix/lib/pkgconfig/QtCore.pc" <<EOF2
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: QtCore
Description: Qt Core module
Version: $qt_version
Libs: -L\${libdir} -Wl,-rpath,\${libdir} -lQtCore
Cflags: -I\${includedir} -I\${includedir}/QtCore
EOF2
fi

qt_cache_done "$(printf 'archive %s\nsha256 %s\nscript %s\ntarget %s\nflags %s' \
  "$(basename "$archive")" "$actual" "$script_version" "$target" "${flags[*]}")"

#!/usr/bin/env bash
# Cross-builds QtCore 5.15 for x86_64-w64-mingw32 from Debian's qtbase source
# package (QtCore, winmain and the host tools moc, rcc and qmake) and installs
# it into a cache folder keyed by the Qt version and the build flags. Does
# nothing when that folder is already complete. The last line of stdout is the
# prefix: prefix=$(tools/build-qt-mingw.sh | tail -1)
set -euo pipefail

script_version=1  # bump when the way the prefix is built changes
source "$(dirname "${BASH_SOURCE[0]}")/qt-cache.sh"
jobs=$(nproc)

flags=(-platform linux-g++ -xplatform win32-g++ -device-option CROSS_COMPILE=x86_64-w64-mingw32-
       -release -shared -opensource -confirm-license -nomake examples -nomake tests
       -no-opengl -no-gui -no-widgets -no-dbus -no-icu -no-openssl -no-feature-sql
       -qt-zlib -qt-pcre -qt-doubleconversion)

# The newest qtbase source version apt knows about (needs a deb-src entry:
# tools/ensure-windows-deps.sh adds one).
deb_version=""
for v in $(apt-cache showsrc qtbase-opensource-src 2>/dev/null | awk '/^Version:/ {print $2}'); do
  if [ -z "$deb_version" ] || dpkg --compare-versions "$v" gt "$deb_version"; then deb_version=$v; fi
done
if [ -z "$deb_version" ]; then
  echo "apt knows no qtbase-opensource-src source package: run tools/ensure-windows-deps.sh" >&2
  exit 1
fi
qt_version=${deb_version%%+*}  # 5.15.8+dfsg-11+deb12u3 -> 5.15.8

key=$(printf '%s\n' "$script_version" "$deb_version" "${flags[@]}" | sha256sum | cut -c1-8)
qt_cache_enter "qt5-mingw-$qt_version-$key"
echo "Building QtCore $deb_version for mingw-w64 into $prefix (log: $log)" >&2
mkdir -p "$cache/src"

# apt-get skips files it has already downloaded into $cache/src.
(cd "$cache/src" && run apt-get source --download-only "qtbase-opensource-src=$deb_version")
dsc=$cache/src/qtbase-opensource-src_${deb_version#*:}.dsc
run dpkg-source -x "$dsc" "$work/src"

echo "  configure" >&2
cd "$work/build"
run nice -n 10 "$work/src/configure" -prefix "$prefix" "${flags[@]}"

echo "  make (QtCore, winmain, moc, rcc)" >&2
cd "$work/build/src"
run ../bin/qmake -o Makefile "$work/src/src/src.pro"
run nice -n 10 make -j"$jobs" sub-corelib sub-winmain sub-rcc

echo "  install" >&2
cd "$work/build"
run make sub-qmake-qmake-aux-pro-install_subtargets install_mkspecs
run make -C src sub-corelib-install_subtargets sub-moc-install_subtargets \
  sub-rcc-install_subtargets sub-winmain-install_subtargets

qt_cache_done "$(printf 'qtbase %s\nscript %s\nflags %s' "$deb_version" "$script_version" "${flags[*]}")"

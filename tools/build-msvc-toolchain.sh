#!/usr/bin/env bash
# Assembles the prefix that cmake/clang-cl-msvc.cmake builds with (64-bit
# Windows in the MSVC C++ ABI, clang-cl 14 and lld-link), from Debian's
# packages alone: import libraries made from wine's PE DLLs, libc++ 14 built
# static from Debian's llvm-toolchain-14 source, the header shims
# (tools/msvc/shim) and the start-up runtime (platform/windows/msvc_startup).
# Installs into a cache folder keyed by this script's version, the llvm
# source version, wine's version and the hashes of the tree's files it
# builds from; does nothing when that folder is complete. The last line of
# stdout is the prefix:
#   prefix=$(tools/build-msvc-toolchain.sh | tail -1)
# Needs the network once, for `apt-get source` into the cache's src/ folder
# (tools/ensure-windows-deps.sh adds the deb-src entry); offline after that.
set -euo pipefail

script_version=1  # bump when the way the prefix is built changes
repo=$(cd "$(dirname "$0")/.." && pwd)
source "$repo/tools/qt-cache.sh"
jobs=${JOBS:-$(nproc)}
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
toolchain_file=$repo/cmake/clang-cl-msvc.cmake
# The DLLs the prefix has import libraries for: the MSVC runtime's (images
# link ucrtbase, vcruntime140 and, for libc++'s exception_ptr, msvcp140;
# msvcrt only when named), and the system's that QtCore, the project and
# CMake's default set name.
dlls=(ucrtbase vcruntime140 msvcp140 msvcrt kernel32 ntdll user32 gdi32 advapi32 shell32
      ole32 oleaut32 ws2_32 winmm psapi version shlwapi dbghelp bcrypt crypt32 secur32
      userenv iphlpapi imm32 comdlg32 winspool.drv rpcrt4 setupapi mpr netapi32)
# What the tree gives the prefix (and what its key hashes).
tree_inputs=(tools/build-msvc-toolchain.sh tools/msvc/shim tools/msvc/libcxx-type-info-name.patch
             tools/msvc/libcxx-filesystem-wine-headers.patch platform/windows/msvc_startup
             cmake/clang-cl-msvc.cmake)

fail() {
  echo "build-msvc-toolchain.sh: $*" >&2
  exit 1
}

for tool in clang-cl-14 lld-link-14 llvm-lib-14 llvm-dlltool-14 llvm-objdump-14 cmake ninja patch; do
  command -v "$tool" >/dev/null || fail "no $tool: run tools/ensure-windows-deps.sh"
done
[ -d "$wine_dlls" ] && [ -f /usr/include/wine/wine/msvcrt/corecrt.h ] ||
  fail "no wine PE DLLs or headers: run tools/ensure-windows-deps.sh"

# An installed package's version (of its source package with "source"), or nothing.
installed_version() {
  { dpkg-query -W -f="\${Status} \${${2:-}Version}" "$1" 2>/dev/null || true; } |
    sed -n 's/^install ok installed //p'
}
# libc++ from the source of the installed compiler; wine's DLLs and headers.
llvm_version=$(installed_version clang-14 source:)
wine_version=$(installed_version libwine)
[ -n "$llvm_version" ] && [ -n "$wine_version" ] && [ "$(installed_version libwine-dev)" = "$wine_version" ] ||
  fail "clang-14, libwine and libwine-dev (one version) must be installed: run tools/ensure-windows-deps.sh"
upstream=${llvm_version#*:}
upstream=${upstream%-*}  # 1:14.0.6-12 -> 14.0.6
tree_hash=$(cd "$repo" && find "${tree_inputs[@]}" -type f -print0 | LC_ALL=C sort -z |
            xargs -0 sha256sum | sha256sum | cut -c1-16)
key=$(printf '%s\n' "$script_version" "$llvm_version" "$wine_version" "$tree_hash" "${dlls[@]}" |
      sha256sum | cut -c1-8)

# The source package, fetched once into the cache (apt-get skips what is
# there) and checked against the sums of its .dsc, which apt verified. Sets
# orig, the upstream archive.
fetch_llvm_source() {
  local src=$cache/src dsc file sum
  [ ! -L "$src" ] || fail "$src is a symbolic link; expected a folder of this cache"
  mkdir -p "$src"
  dsc=$src/llvm-toolchain-14_${upstream}-${llvm_version##*-}.dsc
  orig=$src/llvm-toolchain-14_$upstream.orig.tar.xz
  if [ ! -f "$dsc" ] || [ ! -f "$orig" ]; then
    echo "  apt-get source llvm-toolchain-14=$llvm_version (130 MB, once)" >&2
    (cd "$src" && run apt-get source --download-only "llvm-toolchain-14=$llvm_version")
  fi
  for file in "$dsc" "$orig"; do
    [ -f "$file" ] && [ ! -L "$file" ] || fail "$file is missing or not a regular file"
  done
  sum=$(awk -v f="$(basename "$orig")" '/^Checksums-Sha256:/ {on = 1; next} /^[^ ]/ {on = 0}
                                        on && $3 == f {print $1}' "$dsc")
  [ -n "$sum" ] || fail "$dsc lists no sha256 for $(basename "$orig")"
  [ "$(sha256sum "$orig" | cut -d' ' -f1)" = "$sum" ] || fail "$orig does not match $dsc"
}

# A .def of a PE DLL's exports, from llvm-objdump's export table: an export
# whose address is outside the DLL's code is DATA (no call thunk), one
# forwarded to another DLL a function.
def_of() {
  local dll=$1 base
  base=$(llvm-objdump-14 -p "$dll" | awk '$1 == "ImageBase" && !n++ {print $2}')
  [ -n "$base" ] || fail "$dll: no ImageBase in its headers"
  { llvm-objdump-14 -h "$dll" | awk '$1 ~ /^[0-9]+$/ && / TEXT/ {print "text", $4, $3}'
    llvm-objdump-14 -p "$dll" | sed -n '/^Export Table:/,/^$/p'; } |
  awk -v base="$base" '
    function hex(s,   i, v) {
      sub(/^0x/, "", s); v = 0
      for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789abcdef", tolower(substr(s, i, 1))) - 1
      return v
    }
    BEGIN { n = 0 }
    $1 == "text" { low[n] = hex($2); high[n] = hex($2) + hex($3); n++; next }
    $1 == "DLL" && $2 == "name:" { printf "LIBRARY %s\nEXPORTS\n", $3; next }
    $1 ~ /^[0-9]+$/ && NF >= 2 {
      if ($2 ~ /^0x/) {
        name = $3; address = hex($2) + hex(base); data = 1
        for (i = 0; i < n; i++) if (address >= low[i] && address < high[i]) data = 0
      } else { name = $2; data = 0 }
      if (name == "" || seen[name]++) next
      print "  " name (data ? " DATA" : "")
    }'
}

make_import_libraries() {
  local dll file name
  mkdir -p "$work/def" "$prefix/lib"
  for dll in "${dlls[@]}"; do
    file=$wine_dlls/$dll
    case "$dll" in *.*) ;; *) file=$file.dll ;; esac
    [ -f "$file" ] || fail "no $file (wine $wine_version)"
    name=${dll%.*}
    def_of "$file" >"$work/def/$name.def"
    grep -q '^  ' "$work/def/$name.def" || fail "$file: no exports found"
    run llvm-dlltool-14 -m i386:x86-64 -d "$work/def/$name.def" -l "$prefix/lib/$name.lib"
  done
  # The interface identifiers (IID_*): a static library of wine's, in COFF.
  run cp "$wine_dlls/libuuid.a" "$prefix/lib/uuid.lib"
}

# Configures, builds and installs a CMake project with the toolchain file,
# before the prefix has the libraries every image links.
build_with_toolchain() {
  local source=$1 build=$2
  shift 2
  run nice -n 10 cmake -G Ninja -S "$source" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain_file" \
    -DCADENCEHOST_MSVC_TOOLCHAIN="$prefix" -DCADENCEHOST_MSVC_BOOTSTRAP=ON \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
  run nice -n 10 cmake --build "$build" -j "$jobs"
  run cmake --install "$build"
}

qt_cache_enter "msvc-toolchain-$upstream-$key"
echo "Assembling the MSVC ABI toolchain into $prefix (log: $log)" >&2

echo "  import libraries from wine $wine_version" >&2
make_import_libraries

echo "  header shims" >&2
mkdir -p "$prefix/include"
run cp -R "$repo/tools/msvc/shim" "$prefix/include/shim"

echo "  libc++ $upstream (static)" >&2
fetch_llvm_source
top=llvm-toolchain-14_$upstream
# What the runtimes build reads: its own CMake, LLVM's CMake modules and
# libc++ without its tests, documents and benchmarks. libc++'s CMake insists
# on a libcxxabi folder beside it, which LIBCXX_CXX_ABI=none leaves unused.
run tar -xJf "$orig" -C "$work" --exclude="$top/libcxx/test" --exclude="$top/libcxx/docs" \
  --exclude="$top/libcxx/benchmarks" "$top/runtimes" "$top/cmake" "$top/llvm/cmake" "$top/libcxx"
mkdir -p "$work/$top/libcxxabi"
for patch in libcxx-type-info-name libcxx-filesystem-wine-headers; do
  (cd "$work/$top" && run patch -p1 -i "$repo/tools/msvc/$patch.patch")
done
# Without vcruntime's headers, libc++ defines std::exception and the like
# itself; operator new and delete come from the start-up runtime.
build_with_toolchain "$work/$top/runtimes" "$work/libcxx" -DLLVM_ENABLE_RUNTIMES=libcxx \
  -DLIBCXX_CXX_ABI=none -DLIBCXX_NO_VCRUNTIME=ON -DLIBCXX_HAS_WIN32_THREAD_API=ON \
  -DLIBCXX_ENABLE_SHARED=OFF -DLIBCXX_ENABLE_FILESYSTEM=ON \
  -DLIBCXX_ENABLE_NEW_DELETE_DEFINITIONS=OFF -DLIBCXX_ENABLE_EXPERIMENTAL_LIBRARY=OFF \
  -DLIBCXX_INCLUDE_TESTS=OFF -DLIBCXX_INCLUDE_BENCHMARKS=OFF -DLIBCXX_INCLUDE_DOCS=OFF \
  -DLLVM_INCLUDE_TESTS=OFF

echo "  start-up runtime" >&2
build_with_toolchain "$repo/platform/windows/msvc_startup" "$work/startup"

for f in libc++.lib msvc_startup_common.lib msvc_startup_dll.lib msvc_startup_exe.lib; do
  [ -f "$prefix/lib/$f" ] || fail "no $f in $prefix/lib after the build (log: $log)"
done
qt_cache_done "$(printf 'llvm-toolchain-14 %s\nwine %s\nscript %s\ntree %s\ndlls %s' \
  "$llvm_version" "$wine_version" "$script_version" "$tree_hash" "${dlls[*]}")"

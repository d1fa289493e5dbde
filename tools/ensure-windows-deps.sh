#!/usr/bin/env bash
# Installs what the Windows build needs when it is missing (as root): the
# mingw-w64 cross compilers, clang-cl with lld-link and the LLVM tools and
# wine's headers and PE DLLs for the MSVC ABI build, wine to run the results,
# what cross-building QtCore from Debian's source package needs, and a deb-src
# entry so that `apt-get source` works. Otherwise prints the commands to run
# and fails.
set -euo pipefail

packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
          binutils-mingw-w64-x86-64 wine64 wine
          clang-14 lld-14 llvm-14 libwine-dev
          g++ make perl python3 dpkg-dev xz-utils patch cmake ninja-build libgtest-dev)
src_list=/etc/apt/sources.list.d/debian-src.sources

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# Any enabled deb-src line or deb822 stanza for bookworm (one-line or deb822 format).
has_src() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -Eq '^[[:space:]]*deb-src[[:space:]].*[[:space:]]bookworm[[:space:]].*main' "$f" && return 0
    # deb822: a stanza whose Types holds deb-src and whose Suites holds bookworm.
    awk 'BEGIN { RS = ""; found = 0 }
         /(^|\n)Types:[^\n]*deb-src/ && /(^|\n)Suites:[^\n]*bookworm([ \n]|$)/ &&
         !/(^|\n)Enabled:[[:space:]]*no/ { found = 1 }
         END { exit !found }' "$f" && return 0
  done
  return 1
}
need_src=0
has_src || need_src=1

[ ${#missing[@]} -eq 0 ] && [ $need_src -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing for the Windows build. Run as root:" >&2
  [ $need_src -eq 1 ] && echo "  (add a deb-src entry for bookworm main, e.g. $src_list)" >&2
  echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

if [ $need_src -eq 1 ]; then
  echo "Adding $src_list"
  cat >"$src_list" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

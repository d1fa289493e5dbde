#!/usr/bin/env bash
# Installs the Debian packages the build needs when they are missing (as root),
# or prints the exact apt-get line to run and fails.
set -euo pipefail

packages=(cmake ninja-build g++ make qtbase5-dev qt6-base-dev qt6-base-dev-tools
          libgtest-dev libgmock-dev libbenchmark-dev binutils pkg-config)
for extra in "$@"; do packages+=("$extra"); done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

line="apt-get install -y ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get update && $line" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null

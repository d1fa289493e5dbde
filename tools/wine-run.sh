#!/usr/bin/env bash
# Runs a Windows program under wine with the build's environment (see
# wine-env.sh); the CMake toolchain uses it as the cross-compiling emulator.
# Start tools/wine-session.sh first when running many programs (CTest).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
exec wine "$@"

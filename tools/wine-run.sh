#!/usr/bin/env bash
# Runs a Windows program under wine with the build's environment (see
# wine-env.sh); the CMake toolchain uses it as the cross-compiling emulator.
# Start tools/wine-session.sh first when running many programs (CTest).
#
# Now and then (once in some thousands of starts on a loaded machine) wine
# ends a program it has not started, with a failure status and not a byte of
# output. Such a start is tried again, saying so on standard error, up to
# three times; a program that printed anything, or succeeded, is never run
# again, so a real failure still fails.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
  status=0
  wine "$@" >"$out" 2>"$err" || status=$?
  if [ "$status" -eq 0 ] || [ -s "$out" ] || [ -s "$err" ] || [ "$attempt" -eq 3 ]; then break; fi
  echo "wine-run: $1 ended with status $status before printing anything; starting it again" >&2
done
cat "$out"
cat "$err" >&2
exit "$status"

#!/usr/bin/env bash
# Starts (start) or stops (stop) wine's background processes for the build's
# wine prefix. Started here with their descriptors detached, they do not hold
# a test's output pipe open, so CTest does not wait on them after each test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
case "${1:-}" in
  start)
    wineserver -p >/dev/null 2>&1 </dev/null
    wineboot >/dev/null 2>&1 </dev/null  # creates the prefix on first use
    drivers='HKCU\Software\Wine\Drivers'
    if [ "$wine_qt4" -eq 1 ] && ! wine reg query "$drivers" /v Graphics 2>/dev/null </dev/null | grep -q null; then
      # The null graphics driver counts for processes started after wine's
      # background processes have restarted.
      wine reg add "$drivers" /v Graphics /d null /f >/dev/null 2>&1 </dev/null
      wineserver -k >/dev/null 2>&1 </dev/null || true
      wineserver -w >/dev/null 2>&1 </dev/null || true
      wineserver -p >/dev/null 2>&1 </dev/null
      wineboot >/dev/null 2>&1 </dev/null
    fi
    ;;
  stop)
    wineserver -k >/dev/null 2>&1 </dev/null || true  # not running is fine
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# Starts (start) or stops (stop) wine's background processes for the build's
# wine prefix. Started here with their descriptors detached, they do not hold
# a test's output pipe open, so CTest does not wait on them after each test.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

start_server() {
  # -p fails when a server already runs for the prefix (one left running by
  # hand): that one serves as well.
  wineserver -p >/dev/null 2>&1 </dev/null || true
  wineboot >/dev/null 2>&1 </dev/null  # creates the prefix on first use
}

stop_server() {
  wineserver -k >/dev/null 2>&1 </dev/null || true  # not running is fine
  wineserver -w >/dev/null 2>&1 </dev/null || true  # gone before the next start
}

case "${1:-}" in
  start)
    start_server
    # What the prefix needs, each set once: no crash dialog (a test program
    # that crashes on purpose must end, not wait for a click no one can give:
    # with a graphics driver, wine's debugger would show one), and for Qt 4
    # the null graphics driver.
    settings=('HKCU\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD|0')
    [ "$wine_qt4" -eq 1 ] && settings+=('HKCU\Software\Wine\Drivers|Graphics|REG_SZ|null')
    changed=0
    for setting in "${settings[@]}"; do
      IFS='|' read -r key name type value <<<"$setting"
      if ! wine reg query "$key" /v "$name" 2>/dev/null </dev/null | grep -qiE "$name +$type +(0x)?$value"; then
        wine reg add "$key" /v "$name" /t "$type" /d "$value" /f >/dev/null 2>&1 </dev/null
        changed=1
      fi
    done
    if [ "$changed" -eq 1 ]; then
      # Settings count for processes started after wine's background
      # processes have restarted.
      stop_server
      start_server
    fi
    ;;
  stop)
    stop_server
    ;;
  *)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac

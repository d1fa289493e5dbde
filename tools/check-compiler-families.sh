#!/usr/bin/env bash
# The two Windows builds against each other, under wine: the mingw-w64
# cadence-host.exe refuses the MSVC-ABI module, and the MSVC-ABI one the
# mingw-w64 module, each with status 3 and a reason naming both compiler
# families, never a crash; `validate` loads neither (every check that would
# fails with the reason). Needs build/windows and build/windows-msvc (make
# windows, make windows-msvc).
set -euo pipefail
cd "$(dirname "$0")/.."

mingw=build/windows
msvc=build/windows-msvc
for build in "$mingw" "$msvc"; do
  [ -f "$build/host/cadence-host.exe" ] && [ -f "$build/module/cadencehost_mod.dll" ] ||
    { echo "no $build: run make windows and make windows-msvc first" >&2; exit 1; }
done

CADENCEHOST_QT_MINGW_PREFIX=$(tools/build-qt-mingw.sh | tail -1)
CADENCEHOST_QT_MSVC_PREFIX=$(tools/build-qt4.sh msvc | tail -1)
export CADENCEHOST_QT_MINGW_PREFIX CADENCEHOST_QT_MSVC_PREFIX  # both QtCore folders on the DLL path

tools/wine-session.sh start
trap 'tools/wine-session.sh stop' EXIT
failed=0
# refuse HOST_BUILD MODULE_BUILD FAMILY_OF_THE_MODULE
refuse() {
  local host=$1/host/cadence-host.exe module=$2/module/cadencehost_mod.dll family=$3 status=0 out
  out=$(tools/wine-run.sh "$host" inspect --module "$module" 2>&1 | tr -d '\r') || status=$?
  echo "--- $host inspect --module $module: status $status"
  echo "$out"
  if [ "$status" -ne 3 ] || ! grep -q "built by another compiler family, $family" <<<"$out"; then
    echo "expected status 3 and the module's family, $family" >&2
    failed=1
  fi
  out=$(tools/wine-run.sh "$host" validate --module "$module" 2>&1 | tr -d '\r') || status=$?
  if ! grep -q "^entry-point *FAIL *not loaded: .*another compiler family" <<<"$out"; then
    echo "$out"
    echo "validate loaded a module of the other compiler family" >&2
    failed=1
  fi
}
refuse "$mingw" "$msvc" "MSVC-compatible"
refuse "$msvc" "$mingw" "GCC-compatible"
[ "$failed" -eq 0 ] && echo "=== each compiler family's cadence-host refuses the other's module"
exit "$failed"

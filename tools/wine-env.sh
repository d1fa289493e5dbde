# shellcheck shell=bash
# Sourced by wine-run.sh and wine-session.sh: the environment every wine call
# of the Windows build shares. Headless, quiet, a prefix of its own in the
# build cache, and the mingw runtime and Qt DLL folders on the search path
# (the mingw Qt from CADENCEHOST_QT_MINGW_PREFIX, the MSVC ABI one from
# CADENCEHOST_QT_MSVC_PREFIX).
cache=${CADENCEHOST_CACHE:-$HOME/.cache/cadencehost}
# Qt 4 makes a window for its event loop, which needs a graphics driver: its
# builds run in a prefix of their own set to wine's null driver (see
# wine-session.sh), so the Qt 5 builds keep wine's headless default.
wine_qt4=0
for qt_prefix in "${CADENCEHOST_QT_MINGW_PREFIX:-}" "${CADENCEHOST_QT_MSVC_PREFIX:-}"; do
  [ -n "$qt_prefix" ] && [ -f "$qt_prefix/bin/QtCore4.dll" ] && wine_qt4=1
done
if [ $wine_qt4 -eq 1 ]; then
  export WINEPREFIX=${WINEPREFIX:-$cache/wine-qt4}
else
  export WINEPREFIX=${WINEPREFIX:-$cache/wine}
fi
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # never offer to install Mono or Gecko
unset DISPLAY WAYLAND_DISPLAY

# libstdc++-6.dll and libgcc_s_seh-1.dll live with the compiler,
# libwinpthread-1.dll with the mingw-w64 runtime (when mingw is installed:
# the MSVC ABI build needs neither).
dll_dirs=()
if command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1; then
  dll_dirs+=("$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")"
             /usr/x86_64-w64-mingw32/lib)
fi
[ -n "${CADENCEHOST_QT_MINGW_PREFIX:-}" ] && dll_dirs+=("$CADENCEHOST_QT_MINGW_PREFIX/bin")
[ -n "${CADENCEHOST_QT_MSVC_PREFIX:-}" ] && dll_dirs+=("$CADENCEHOST_QT_MSVC_PREFIX/bin")
WINEPATH=""
for d in "${dll_dirs[@]}"; do WINEPATH+="${WINEPATH:+;}Z:$d"; done
export WINEPATH
mkdir -p "$WINEPREFIX"

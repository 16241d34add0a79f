#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, in a Japanese locale (ANSI code
# page 932), so that nothing touches the user's ~/.wine. Used by CTest as the emulator and by the
# run script. Usage: wine-run.sh [--32] PROGRAM [ARG...]
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${MOJIFIX_WINEPREFIX:-$repo/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
wine=/usr/lib/wine/wine64
# 32-bit programs need Wine's 32-bit loader (Debian's wine32:i386).
if [ "${1:-}" = "--32" ]; then
  wine=/usr/lib/wine/wine
  shift
fi

if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no DISPLAY; start an X server (Xvfb) first, as scripts/test.sh does" >&2
  exit 2
fi

# Create the prefix once; several tests may start at the same moment.
mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.mojifix-ready" ]; then
    "$wine" wineboot -i >/dev/null 2>&1 </dev/null || true
    # Without a window manager every window close waits about two seconds unless Wine manages
    # the windows itself.
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    /usr/lib/wine/wineserver -w || true
    touch "$WINEPREFIX/.mojifix-ready"
  fi
) 9>"$WINEPREFIX.lock"

exec "$wine" "$@"

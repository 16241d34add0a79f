#!/usr/bin/env bash
# Runs a Windows program under Wine in a prefix of the build's own, in a Japanese locale (ANSI
# code page 932), so that nothing touches the user's ~/.wine. The Windows toolchain files make it
# CTest's emulator, with the build's prefix; the run script uses it too.
# Usage: wine-run.sh [--32] [--prefix DIR] PROGRAM [ARG...]
# MOJIFIX_WINEPREFIX, when set, wins over --prefix, so that with-xvfb.sh and the tests it runs
# share one prefix and its server.
set -euo pipefail
# shellcheck source=wine-env.sh source-path=SCRIPTDIR
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

wine=$wine64
default_prefix=""
while [ $# -gt 0 ]; do
  case "$1" in
    # 32-bit programs need Wine's 32-bit loader (Debian's wine32:i386).
    --32) wine=$wine32; shift ;;
    --prefix) default_prefix=$2; shift 2 ;;
    *) break ;;
  esac
done

WINEPREFIX=$(mojifix_prefix "$default_prefix")
template="$mojifix_build/wineprefix-template"
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8

if [ -z "${DISPLAY:-}" ]; then
  echo "wine-run.sh: no DISPLAY; start an X server (Xvfb) first, as scripts/with-xvfb.sh does" >&2
  exit 2
fi

# Makes a prefix in DIR: Wine's own set-up, then the settings that every prefix here needs.
make_prefix() {
  WINEPREFIX=$1 "$wine64" wineboot -i >/dev/null 2>&1 </dev/null || true
  # Without a window manager every window close waits about two seconds unless Wine manages the
  # windows itself.
  WINEPREFIX=$1 "$wine64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 </dev/null
  WINEPREFIX=$1 "$wineserver" -w || true
  touch "$1/.mojifix-ready"
}

# Creates the prefix once; several tests may start at the same moment. Wine's set-up runs its
# 32-bit part too, which costs a minute of CPU where that part is emulated, so it runs once for
# the checkout, into a template that every prefix of it copies.
mkdir -p "$(dirname "$WINEPREFIX")" "$(dirname "$template")"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.mojifix-ready" ]; then
    (
      flock 8
      [ -f "$template/.mojifix-ready" ] || make_prefix "$template"
    ) 8>"$template.lock"
    rm -rf "$WINEPREFIX"
    cp -a "$template" "$WINEPREFIX"
  fi
) 9>"$WINEPREFIX.lock"

exec "$wine" "$@"

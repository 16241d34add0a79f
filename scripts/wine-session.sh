#!/usr/bin/env bash
# Runs a command, the Windows test suite, with one Wine session kept for the prefix of
# MOJIFIX_WINEPREFIX, then ends the session. Needs a DISPLAY (scripts/with-xvfb.sh gives one).
# Usage: wine-session.sh COMMAND [ARG...]
#
# Every Wine program started without a running server pays about three seconds for one, so the
# session keeps a persistent server. Its state is known before the first test: the prefix is made,
# its first server and services have ended, then the kept server starts, and so do the services
# and the desktop under it, each once. The desktop is Wine's own virtual desktop, which activates
# windows as Windows does (the owner comes back when a message box closes); on a bare X display
# nothing does. A program that never ends keeps the desktop up between tests, since Wine closes it
# whenever the last program has gone.
set -euo pipefail
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh source-path=SCRIPTDIR
. "$scripts/wine-env.sh"
WINEPREFIX=$(mojifix_prefix "")
export WINEPREFIX WINEDEBUG=-all

if [ -z "${DISPLAY:-}" ]; then
  echo "wine-session.sh: no DISPLAY; run it under scripts/with-xvfb.sh" >&2
  exit 2
fi

# Nothing may be left of an earlier run: a server of an earlier session would keep its state.
"$wineserver" -k >/dev/null 2>&1 || true
"$scripts/wine-run.sh" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f \
  >/dev/null 2>&1 </dev/null
"$scripts/wine-run.sh" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
  >/dev/null 2>&1 </dev/null
"$wineserver" -w

keeper=$(mktemp -u "${TMPDIR:-/tmp}/mojifix-session.XXXXXX")
mkfifo "$keeper"
end_session() {
  "$wineserver" -k >/dev/null 2>&1 || true
  rm -f "$keeper"
}
trap end_session EXIT

"$wineserver" -p
# The keeper waits for a line that never comes. Its output, and that of the services it starts,
# goes nowhere, so that nothing holds the caller's pipes open.
setsid "$scripts/wine-run.sh" cmd /c "set /p line=" <"$keeper" >/dev/null 2>&1 &
keeper_pid=$!
exec 9>"$keeper"
# The services and the desktop are up once a program started beside the keeper has run.
"$scripts/wine-run.sh" cmd /c exit >/dev/null 2>&1 </dev/null
if ! kill -0 "$keeper_pid" 2>/dev/null; then
  echo "wine-session.sh: the session could not be started" >&2
  exit 1
fi

"$@"

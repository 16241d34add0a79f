#!/usr/bin/env bash
# Builds MOJIFIX.exe and runs it under Wine, in a Japanese locale and in a Wine prefix of its own
# (build/run-prefix): never the tests' prefix, never ~/.wine.
#
# When that prefix is first made, its C:\windows\win.ini is replaced by docs/sample-win.ini, a
# Japanese win.ini in Shift-JIS with a [FontSubstitutes] section, so Agree and Remove have a file
# to work on. Later runs keep whatever the program left there; delete build/run-prefix to start
# again from the sample.
#
# With a DISPLAY the window opens there and the script waits until it is closed. Without one, the
# program runs on a private virtual display; the script saves a screenshot of the window to
# build/screenshot.png, prints its path and ends the program.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$(pwd)

scripts/install-deps.sh
cmake --preset windows
cmake --build --preset windows --target MOJIFIX

export MOJIFIX_WINEPREFIX="$repo/build/run-prefix"
export MOJIFIX_EXE="$repo/build/windows/src/app/MOJIFIX.exe"
export MOJIFIX_SCREENSHOT="$repo/build/screenshot.png"

# Makes the prefix when there is none yet (wine-run.sh does that) and gives a new prefix the
# sample settings file. Needs a DISPLAY: Wine's first start in a prefix must have one.
prepare_prefix() {
  scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 </dev/null || true
  local marker="$MOJIFIX_WINEPREFIX/.mojifix-sample-win-ini"
  if [ ! -f "$marker" ]; then
    cp docs/sample-win.ini "$MOJIFIX_WINEPREFIX/drive_c/windows/win.ini"
    touch "$marker"
  fi
}

# Runs on the virtual display: starts the program, photographs its window, then closes it.
screenshot() {
  prepare_prefix
  scripts/wine-run.sh "$MOJIFIX_EXE" &
  local program=$!
  # The title ends with the version, "Ver.0.91".
  local window
  window=$(timeout 60 xdotool search --sync --onlyvisible --name 'Ver\.[0-9]' | head -n 1) || true
  if [ -z "$window" ]; then
    echo "run.sh: the window did not appear" >&2
    kill "$program" 2>/dev/null || true
    return 1
  fi
  sleep 1  # let it paint
  import -window "$window" "$MOJIFIX_SCREENSHOT" || return 1
  echo "$MOJIFIX_SCREENSHOT"

  # Close it as a user would (Alt+F4); end the process only if that did not work.
  xdotool windowfocus --sync "$window" key alt+F4 || true
  for _ in $(seq 50); do
    if ! kill -0 "$program" 2>/dev/null; then
      wait "$program" || true
      return 0
    fi
    sleep 0.1
  done
  echo "run.sh: the program did not close; ending it" >&2
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
}

if [ -n "${DISPLAY:-}" ]; then
  prepare_prefix
  scripts/wine-run.sh "$MOJIFIX_EXE"
else
  export -f prepare_prefix screenshot
  scripts/with-xvfb.sh bash -c screenshot
fi

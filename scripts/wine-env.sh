# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source this file
# Sourced by the scripts that run Wine: where Wine's programs are, and the prefix to use.
# Debian keeps the real loaders outside PATH (the /usr/bin/wine wrapper complains about a missing
# 32-bit part on stderr); MOJIFIX_WINE_DIR points elsewhere on other systems.
wine_dir="${MOJIFIX_WINE_DIR:-/usr/lib/wine}"
wine64="$wine_dir/wine64"
wine32="$wine_dir/wine"
wineserver="$wine_dir/wineserver"

# MOJIFIX_WINEPREFIX, when set, names the prefix; otherwise the caller's default, else one under
# build/. Never the user's own ~/.wine.
mojifix_prefix() {
  local repo
  repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  echo "${MOJIFIX_WINEPREFIX:-${1:-$repo/build/wineprefix}}"
}

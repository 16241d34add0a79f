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
mojifix_build="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build"
mojifix_prefix() {
  echo "${MOJIFIX_WINEPREFIX:-${1:-$mojifix_build/wineprefix}}"
}

# Whether Wine's 32-bit loader runs here, found by running it: some hosts run no 32-bit Linux
# program at all (a sandboxed kernel, WSL 1), and there it fails with "Exec format error". Prints
# why when it does not run, and fails; prints nothing when it runs.
wine32_unavailable() {
  local out
  if out=$("$wine32" --version 2>&1 </dev/null); then return 1; fi
  echo "Wine's 32-bit loader does not run on this host ($wine32: ${out##*: })"
}

#!/usr/bin/env bash
# Fails, naming the Debian package to add, when a program that a toolchain file or a script runs
# is missing, or would come only from a package that scripts/packages.sh does not list (one
# installed by hand makes a build pass here and fail on a fresh machine).
# Usage: check-tools.sh [TOOLCHAIN_DIR]   (default: the repository's cmake/)
set -euo pipefail
scripts=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=packages.sh source-path=SCRIPTDIR
. "$scripts/packages.sh"
toolchains=${1:-$scripts/../cmake}

# Program, then the package that provides it.
needed=(
  cmake cmake ninja ninja-build g++ g++ objdump binutils git git clang clang
  clang-tidy clang-tidy cppcheck cppcheck zip zip Xvfb xvfb xauth xauth xdotool xdotool
  import imagemagick /usr/lib/wine/wine64 wine64 /usr/lib/wine/wineserver wine
)
# What each cross toolchain file names: gcc and g++ of its thread model, windres and objdump.
for file in "$toolchains"/mingw-w64-*.cmake; do
  prefix=$(sed -n 's/^set(MINGW_PREFIX \([^)]*\))/\1/p' "$file")
  threads=$(sed -n 's/^set(MINGW_THREADS \([^)]*\))/\1/p' "$file")
  arch=${prefix%%-*}
  arch=${arch//_/-}
  needed+=("$prefix-gcc-${threads:-posix}" "g++-mingw-w64-$arch-${threads:-posix}"
    "$prefix-g++-${threads:-posix}" "g++-mingw-w64-$arch-${threads:-posix}"
    "$prefix-windres" "binutils-mingw-w64-$arch" "$prefix-objdump" "binutils-mingw-w64-$arch")
done

status=0
for ((i = 0; i < ${#needed[@]}; i += 2)); do
  program=${needed[i]} package=${needed[i + 1]}
  if [[ " ${packages[*]} " != *" $package "* ]]; then
    echo "check-tools.sh: $program comes from the Debian package $package, which" \
      "scripts/packages.sh does not list: add it there" >&2
    status=1
  elif ! command -v "$program" >/dev/null; then
    echo "check-tools.sh: $program is missing although $package is listed:" \
      "run scripts/install-deps.sh" >&2
    status=1
  fi
done
exit $status

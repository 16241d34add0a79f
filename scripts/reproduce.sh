#!/usr/bin/env bash
# Builds the release twice from the current commit, in two clean clones in two different
# directories, and fails unless both give the same MOJIFIX.exe (64-bit, 32-bit and Windows
# 95/98/Me), ZIPs and SHA256SUMS, byte for byte. Prints their SHA-256. Usage: scripts/reproduce.sh
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
commit=$(git -C "$repo" rev-parse HEAD)

work=$(mktemp -d "${TMPDIR:-/tmp}/mojifix-reproduce.XXXXXX")
trap 'rm -rf "$work"' EXIT
log="$work/build.log"

# Paths of different lengths, so that any path left in a file shows.
first="$work/a"
second="$work/second/build-tree"

for tree in "$first" "$second"; do
  git clone --quiet --no-checkout "$repo" "$tree"
  git -C "$tree" checkout --quiet "$commit"
  for preset in windows windows32 windows9x; do
    if ! (cd "$tree" && cmake --preset "$preset" -DBUILD_TESTING=OFF &&
      cmake --build --preset "$preset" && cpack --preset "$preset") >>"$log" 2>&1; then
      tail -n 40 "$log" >&2
      echo "reproduce.sh: the build in $tree failed" >&2
      exit 1
    fi
  done
done

echo "Two builds of $commit in two directories:"
cd "$first"
status=0
for artifact in build/windows/src/app/MOJIFIX.exe build/windows32/src/app/MOJIFIX.exe \
  build/windows9x/src/app/MOJIFIX.exe build/packages/*.zip build/packages/SHA256SUMS; do
  if cmp -s "$artifact" "$second/$artifact"; then
    echo "  same     $(sha256sum "$artifact")"
  else
    echo "  DIFFERS  $artifact" >&2
    status=1
  fi
done
exit $status

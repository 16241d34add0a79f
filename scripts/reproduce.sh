#!/usr/bin/env bash
# Builds the release of the current commit in a clean clone and fails unless it gives the same
# MOJIFIX.exe (64-bit, 32-bit and Windows 95/98/Me), ZIPs and SHA256SUMS, byte for byte, as a
# build in another directory. Prints their SHA-256.
#
# Usage: scripts/reproduce.sh [--against-checkout]
# The other build is a second clean clone, or with --against-checkout the release builds that this
# checkout already holds (the test command has just made them), when the checkout is that commit
# unchanged; otherwise the script says so and builds the second clone.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
commit=$(git -C "$repo" rev-parse HEAD)

work=$(mktemp -d "${TMPDIR:-/tmp}/mojifix-reproduce.XXXXXX")
trap 'rm -rf "$work"' EXIT
log="$work/build.log"

# Paths of different lengths, so that any path left in a file shows.
first="$work/a"
second="$work/second/build-tree"
clones=("$first" "$second")
if [ "${1:-}" = --against-checkout ]; then
  if [ -z "$(git -C "$repo" status --porcelain)" ]; then
    first=$repo
    clones=("$second")
  else
    echo "reproduce.sh: this checkout has changes, so its builds are not those of $commit;" \
      "building two clean clones instead."
  fi
fi

for tree in "${clones[@]}"; do
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
cd "$second"
status=0
for artifact in build/windows/src/app/MOJIFIX.exe build/windows32/src/app/MOJIFIX.exe \
  build/windows9x/src/app/MOJIFIX.exe build/packages/*.zip build/packages/SHA256SUMS; do
  if cmp -s "$artifact" "$first/$artifact"; then
    echo "  same     $(sha256sum "$artifact")"
  else
    echo "  DIFFERS  $artifact" >&2
    status=1
  fi
done
exit $status

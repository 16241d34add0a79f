#!/usr/bin/env bash
# Makes the 64-bit, 32-bit and Windows 95/98/Me release packages in build/packages/, with
# SHA256SUMS beside them, and lists what each holds. Uses the builds that are there (the test
# command's): a build is configured only when it does not exist yet, and only the packaged targets
# are brought up to date.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

for preset in windows windows32 windows9x; do
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target MOJIFIX mojifix_readme
  cpack --preset "$preset" >/dev/null
done
for zip in build/packages/*.zip; do
  echo "$zip:"
  cmake -E tar tf "$zip" | sed 's/^/  /'
done
echo "build/packages/SHA256SUMS:"
sed 's/^/  /' build/packages/SHA256SUMS

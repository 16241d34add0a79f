#!/usr/bin/env bash
# Builds and runs every test: the 64-bit, 32-bit and Windows 95/98/Me builds with their release
# packages and their tests under Wine, each suite on a virtual display of its own with one Wine
# session; the portable logic natively under the sanitizers; the fuzz targets for a bounded time;
# and a clean clone's build of the release, which must match these builds byte for byte.
#
# The Wine suites mostly wait on the program, so each runs in the background as soon as its build
# is made, while the rest goes on; their output follows, whole, once they end.
#
# Every suite runs on every host: where the kernel runs no 32-bit Linux program, install-deps.sh
# has Wine's 32-bit loader run under qemu-user. Where even that fails, the test command fails and
# says why. MOJIFIX_ALLOW_X86_SKIP=1 lets a quick local run go on without the two 32-bit suites
# (their builds are still made, packaged and checked); the output then says SKIPPED.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
# shellcheck source=wine-env.sh source-path=SCRIPTDIR
. scripts/wine-env.sh

scripts/install-deps.sh

skipped=""
if why=$(wine32_unavailable); then
  if [ "${MOJIFIX_ALLOW_X86_SKIP:-0}" != 1 ]; then
    echo "The x86 (32-bit) suites cannot run under Wine here: $why." >&2
    echo "scripts/install-deps.sh runs it under qemu-user where the kernel runs no 32-bit program" \
      "(scripts/wine32-qemu.sh); see what it printed. MOJIFIX_ALLOW_X86_SKIP=1 skips these" \
      "suites for a quick local run." >&2
    exit 1
  fi
  skipped="SKIPPED (MOJIFIX_ALLOW_X86_SKIP=1): the x86 (32-bit) suites under Wine, windows32 and
  windows9x. Why: $why. Both 32-bit MOJIFIX.exe were built and packaged and their imports, header
  and instructions checked, but they went untested under Wine."
fi

# Packages of an earlier version would stay beside these and in their SHA256SUMS.
rm -rf build/packages
logs=build/logs
mkdir -p "$logs"
suites=()
# Each suite, and the fuzzing, runs in a session of its own, so that a failure elsewhere ends it
# whole.
# shellcheck disable=SC2317  # run by the EXIT trap
end_suites() {
  [ -z "${fuzzing:-}" ] || kill -- "-$fuzzing" 2>/dev/null || true
  for suite in "${suites[@]}"; do
    kill -- "-${suite##*:}" 2>/dev/null || true
    WINEPREFIX="$PWD/build/${suite%%:*}/wineprefix" "$wineserver" -k 2>/dev/null || true
  done
}
trap end_suites EXIT

# Builds and packages PRESET, then starts its Wine suite in the background.
start_windows_suite() {
  local preset=$1
  cmake --preset "$preset" -DMOJIFIX_TESTS_CANNOT_RUN=
  cmake --build --preset "$preset"
  cpack --preset "$preset"
  echo "The $preset suite runs under Wine in the background; its output follows at the end."
  setsid scripts/windows-suite.sh "$preset" >"$logs/$preset.log" 2>&1 &
  suites+=("$preset:$!")
}

start_windows_suite windows
if [ -z "$skipped" ]; then
  start_windows_suite windows32
  start_windows_suite windows9x
else
  echo "$skipped"
  for preset in windows32 windows9x; do
    cmake --preset "$preset" -DMOJIFIX_TESTS_CANNOT_RUN="$why"
    cmake --build --preset "$preset"
    cpack --preset "$preset"
    ctest --preset "$preset"
  done
fi

cmake --workflow --preset native

# The scan and both rewrites over arbitrary bytes, for a bounded time, on one CPU: the clean
# clone of the release builds meanwhile.
cmake --preset fuzz
cmake --build --preset fuzz
setsid ctest --preset fuzz >"$logs/fuzz.log" 2>&1 &
fuzzing=$!

scripts/reproduce.sh --against-checkout

status=0
echo
echo "== Fuzzing:"
wait "$fuzzing" || status=1
cat "$logs/fuzz.log"
for suite in "${suites[@]}"; do
  echo
  echo "== The ${suite%%:*} suite under Wine:"
  wait "${suite##*:}" || status=1
  cat "$logs/${suite%%:*}.log"
done
if [ -n "$skipped" ]; then
  echo
  echo "$skipped"
fi
exit $status

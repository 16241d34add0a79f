#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing, then checks that
# every program the toolchain files and scripts run is there.
set -euo pipefail

# shellcheck source=packages.sh source-path=SCRIPTDIR
. "$(dirname "${BASH_SOURCE[0]}")/packages.sh"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # Wine runs 32-bit programs with Debian's i386 packages.
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Where the kernel runs no 32-bit program, Wine's 32-bit loader runs under qemu-user.
"$(dirname "${BASH_SOURCE[0]}")/wine32-qemu.sh"

# Wine takes its ANSI code page (932, Shift-JIS) from the Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

"$(dirname "${BASH_SOURCE[0]}")/check-tools.sh"

#!/usr/bin/env bash
# Lets Wine run 32-bit Windows programs on a host whose kernel runs no 32-bit Linux program (a
# sandboxed kernel, WSL 1): Wine's 32-bit loader then runs under qemu-user. Run by
# install-deps.sh; does nothing where the loader runs natively, unless MOJIFIX_WINE32_QEMU=1 asks
# for the emulated road anyway, so that it can be shown on either kind of host.
#
# What it changes, once (a second run changes nothing):
# - on Debian 12, a file of its own, /etc/apt/sources.list.d/mojifix-backports.sources, adds the
#   backports suite, from which qemu-user comes (its own qemu 7.2 makes every 32-bit Wine start
#   cost about a minute); Debian 13 has a recent enough qemu-user in its main suite;
# - a local diversion (dpkg-divert) moves Wine's loader /usr/lib/wine/wine to wine.i386, and a
#   short script takes its place that starts it under qemu-i386. The diversion keeps package
#   upgrades from overwriting the script, and undoes cleanly. README says how to undo it all.
set -euo pipefail
# shellcheck source=wine-env.sh source-path=SCRIPTDIR
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

loader=$wine32
diverted=$loader.i386
# qemu-user from 8.1 on honours MAP_FIXED_NOREPLACE, which Wine's address-space reservation
# probes with; older ones make each start take tens of seconds.
oldest_qemu=1:8.1

if [ "${MOJIFIX_WINE32_QEMU:-0}" != 1 ] && ! wine32_unavailable >/dev/null; then
  exit 0
fi

# The wrapper. Wine re-executes its loader, which only the kernel could do here, unless told not
# to; and it starts its 32-bit children through argv[0], which must therefore name this script.
# --version and --help are answered only by a loader started the ordinary way.
wrapper="#!/bin/sh
# Made by MOJIFIX's scripts/wine32-qemu.sh: Wine's 32-bit loader ($diverted) under qemu-user.
case \"\${1-}\" in --version | --help) exec qemu-i386 $diverted \"\$@\" ;; esac
WINELOADERNOEXEC=1 exec qemu-i386 -0 $loader $diverted \"\$@\""

qemu_recent() {
  local version
  version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null) || return 1
  dpkg-query -W -f='${Status}' qemu-user 2>/dev/null | grep -q 'install ok installed' &&
    dpkg --compare-versions "$version" ge "$oldest_qemu"
}

if qemu_recent && [ "$(cat "$loader" 2>/dev/null)" = "$wrapper" ] &&
  dpkg-divert --list "$loader" | grep -q "$diverted"; then
  exit 0
fi
echo "Wine's 32-bit loader runs under qemu-user on this host (scripts/wine32-qemu.sh; README says how to undo it)."

if ! qemu_recent; then
  # shellcheck source=/dev/null
  . /etc/os-release
  suite=()
  if [ "${VERSION_CODENAME:-}" = bookworm ]; then
    # The machine's own Debian mirror, as its sources name it.
    mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
      grep -v -- '-security' | head -n 1)
    [ -n "$mirror" ] || mirror=$(sed -n 's/^deb \(\[[^]]*\] \)\?\([^ ]*\) bookworm .*/\2/p' \
      /etc/apt/sources.list 2>/dev/null | head -n 1)
    if [ -z "$mirror" ]; then
      echo "wine32-qemu.sh: no Debian mirror found in /etc/apt/sources.list*" >&2
      exit 1
    fi
    printf '%s\n' 'Types: deb' "URIs: $mirror" 'Suites: bookworm-backports' 'Components: main' \
      'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      $sudo tee /etc/apt/sources.list.d/mojifix-backports.sources >/dev/null
    suite=(-t bookworm-backports)
  fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends \
    "${suite[@]}" qemu-user
  if ! qemu_recent; then
    echo "wine32-qemu.sh: qemu-user $(dpkg-query -W -f='${Version}' qemu-user) is older than" \
      "$oldest_qemu; Wine's 32-bit programs would take minutes to start" >&2
    exit 1
  fi
fi

if ! dpkg-divert --list "$loader" | grep -q "$diverted"; then
  $sudo dpkg-divert --local --rename --divert "$diverted" --add "$loader"
fi
printf '%s\n' "$wrapper" | $sudo tee "$loader" >/dev/null
$sudo chmod 755 "$loader"

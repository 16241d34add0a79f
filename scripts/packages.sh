# shellcheck shell=bash disable=SC2034  # read by install-deps.sh and check-tools.sh
# The Debian packages that every script's steps use, on either kind of host. A compiler that a
# toolchain file in cmake/ names must come from one of them; scripts/check-tools.sh says which.
packages=(
  cmake ninja-build g++ binutils git googletest clang libclang-rt-14-dev clang-tidy cppcheck
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 mingw-w64-tools
  wine wine64 wine32:i386 zip xvfb xauth x11-utils xdotool imagemagick fonts-noto-cjk locales
)

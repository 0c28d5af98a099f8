#!/usr/bin/env bash
# Installs, on Debian, what building and testing holsterkeys needs and is
# not there yet: CMake and GoogleTest, the MinGW-w64 cross compilers (32-bit
# for the release, 64-bit for the test build), clang with libFuzzer, a
# virtual X server with xdotool and ImageMagick's screenshots for the tests
# of real keys and of the setup window, and the Wine that
# runs this machine's Windows flavour: wine32 where 32-bit programs run,
# wine64 where they do not (see windows-flavour.sh). Does nothing when
# everything is installed.
#
# Usage: install-deps.sh [win32|win64|none]; without one, the flavour is
# decided here.
set -euo pipefail
cd "$(dirname "$0")"

flavour=${1:-$(bash windows-flavour.sh | cut -d' ' -f1)}
packages=(make cmake g++ libgtest-dev googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix
  clang libclang-rt-14-dev xvfb xauth xdotool imagemagick)
case "$flavour" in
  win32) packages+=(wine wine32:i386) ;;
  win64) packages+=(wine wine64) ;;
esac

run_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for package in "${packages[@]}"; do
  is_installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# wine32 is an i386 package, installable once that architecture is enabled.
if [ "$flavour" = win32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "install-deps: enabling the i386 architecture for wine32"
  run_as_root dpkg --add-architecture i386
fi
echo "install-deps: installing ${missing[*]}"
run_as_root apt-get update -qq
run_as_root env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"

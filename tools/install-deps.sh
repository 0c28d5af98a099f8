#!/usr/bin/env bash
# Installs, on Debian, what building and testing holsterkeys needs and is
# not there yet: CMake and GoogleTest, the 32-bit MinGW-w64 cross compiler,
# Wine with its 32-bit part, clang with libFuzzer, and a virtual X server
# with xdotool for the test of real keys. Does nothing when everything is
# installed.
set -euo pipefail

packages=(make cmake g++ libgtest-dev googletest g++-mingw-w64-i686 wine wine32:i386
  clang libclang-rt-14-dev xvfb xdotool)

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
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "install-deps: enabling the i386 architecture for wine32"
  run_as_root dpkg --add-architecture i386
fi
echo "install-deps: installing ${missing[*]}"
run_as_root apt-get update -qq
run_as_root env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"

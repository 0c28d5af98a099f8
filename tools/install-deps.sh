#!/usr/bin/env bash
# Installs, on Debian, what building and testing holsterkeys needs and is
# not there yet: CMake and GoogleTest, the MinGW-w64 cross compilers (32-bit
# for the release, 64-bit for the test build), clang with libFuzzer, the
# Unicorn x86 emulator that runs the 32-bit release DLL on any host, a
# virtual X server with xdotool, setxkbmap (for keyboard layouts) and
# ImageMagick's screenshots for the tests of real keys and of the setup
# window, GNU gettext, Python and translate-toolkit for the message
# catalogues and Python for the release zip, and the Wine that
# runs this machine's Windows flavour: wine32 where 32-bit programs run,
# wine64 where they do not (see windows-flavour.sh). Does nothing when
# everything is installed.
#
# Usage: install-deps.sh [win32|win64|none]; without one, the flavour is
# decided here, and where 32-bit Wine cannot be installed (its i386 packages
# lag behind the 64-bit ones while a mirror syncs) 64-bit Wine is installed
# instead, which windows-flavour.sh then chooses.
set -euo pipefail
cd "$(dirname "$0")"

asked=${1:-}
# Without a flavour asked for, it is windows-flavour.sh's: 32-bit Wine wherever
# 32-bit programs run, unless 64-bit Wine alone is installed already. Every
# make runs this, so a mirror that cannot give 32-bit Wine is tried once.
decided=$(bash windows-flavour.sh || true)
flavour=${asked:-${decided%% *}}
common=(make cmake g++ libgtest-dev googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix
  clang libclang-rt-14-dev xvfb xauth xdotool x11-xkb-utils imagemagick libunicorn-dev
  gettext python3 translate-toolkit)

run_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

is_installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

packages_for() {
  packages=("${common[@]}")
  case "$1" in
    win32) packages+=(wine wine32:i386) ;;
    win64) packages+=(wine wine64) ;;
  esac
}

# A list that cannot be refreshed (a mirror in the middle of a sync) is
# tried again; the install then goes ahead with the lists there are.
refresh_lists() {
  [ -n "${lists_refreshed:-}" ] && return
  lists_refreshed=1
  local try
  for try in 1 2 3; do
    run_as_root apt-get update -qq && return
    echo "install-deps: the package lists could not all be refreshed (try $try of 3)"
    sleep 10
  done
}

# Installs the packages of flavour $1 that are missing; fails when apt does.
install_flavour() {
  packages_for "$1"
  local missing=() package
  for package in "${packages[@]}"; do
    is_installed "$package" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  # wine32 is an i386 package, installable once that architecture is enabled.
  if [ "$1" = win32 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "install-deps: enabling the i386 architecture for wine32"
    run_as_root dpkg --add-architecture i386
    lists_refreshed=
  fi
  echo "install-deps: installing ${missing[*]}"
  refresh_lists
  run_as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
  echo "install-deps: done"
}

if [ -z "$asked" ] && [ "$flavour" = win32 ]; then
  install_flavour win32 && exit 0
  echo "install-deps: 32-bit Wine cannot be installed now; installing 64-bit Wine instead"
  flavour=win64
fi
install_flavour "$flavour"

#!/usr/bin/env bash
# Decides which Windows build runs the Windows programs here (the Windows
# tests, the demo, the soak and the benchmark), and says why in one line:
#   win32, the release's own build under wine, where this machine runs
#         32-bit programs;
#   win64, a 64-bit build of the same code under wine64, where it does not
#         (some kernels have IA-32 emulation off, and 32-bit Wine cannot
#         start there).
# The release is the 32-bit build on every machine.
#
# Usage: windows-flavour.sh [win32|win64]. A flavour given (make's WINDOWS=)
# is taken when this machine can run it. Prints the flavour, a blank and
# the line for the maintainer; when no flavour can run, prints "none", a
# blank and the reason, and exits 1.
#
# Where 32-bit programs run but only 64-bit Wine is installed (the 32-bit
# packages could not be had, say while a mirror is half synced), win64 is
# taken unless win32 is asked for.
#
# HOLSTERKEYS_PROBE32, when set, is the command run in place of the 32-bit
# probe program, and HOLSTERKEYS_WINES the Wine packages taken as installed
# ("wine32 wine64", say), so that the decision can be tested on any machine.
set -u

# Runs a 32-bit program that only exits: a static i386 ELF file of 93 bytes
# (header, one loadable segment, then exit(0) through int 0x80). Prints why
# it could not run, if it could not.
probe_32bit() {
  if [ -n "${HOLSTERKEYS_PROBE32:-}" ]; then
    bash -c "$HOLSTERKEYS_PROBE32" 2>&1 >/dev/null
    return
  fi
  local probe status
  probe=$(mktemp) || return 1
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\010\064\0\0\0' >"$probe"
  printf '\0\0\0\0\0\0\0\0\064\0\040\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0' >>"$probe"
  printf '\0\200\4\010\0\200\4\010\135\0\0\0\135\0\0\0\5\0\0\0\0\020\0\0' >>"$probe"
  printf '\270\1\0\0\0\061\333\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>&1 >/dev/null
  status=$?
  rm -f "$probe"
  return $status
}

# True when the Wine package $1 (wine32 or wine64) is installed.
has_wine() {
  if [ -n "${HOLSTERKEYS_WINES+set}" ]; then
    [[ " $HOLSTERKEYS_WINES " == *" $1 "* ]]
    return
  fi
  local package=$1
  [ "$package" = wine32 ] && package=wine32:i386
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'
}

# The probe's complaint without the shell's prefix ("...: Exec format error").
reason_of() {
  local text=${1##*: }
  echo "${text:-it exited with status $2}"
}

say_win32() { echo "win32 Windows programs: 32-bit build under wine"; }

say_win64() {
  echo "win64 Windows programs: 64-bit build under wine64, because $1; the release is still 32-bit"
}

say_none() {
  echo "none Windows programs cannot run here: $1"
  exit 1
}

asked=${1:-}
case "$asked" in
  "" | win32 | win64) ;;
  *) say_none "WINDOWS=$asked is not a flavour; write WINDOWS=win32 or WINDOWS=win64" ;;
esac
machine=$(uname -m)
complaint=$(probe_32bit)
status=$?
if [ $status -eq 0 ]; then
  case "$asked" in
    win64) say_win64 "WINDOWS=win64 was asked for" ;;
    win32) say_win32 ;;
    *)
      if ! has_wine wine32 && has_wine wine64; then
        say_win64 "32-bit Wine is not installed here, only 64-bit Wine"
      else
        say_win32
      fi
      ;;
  esac
  exit 0
fi
why="this machine runs no 32-bit programs ($(reason_of "$complaint" $status))"
if [ "$machine" != x86_64 ]; then
  say_none "$why, and Wine needs an x86 or x86-64 processor (this one is $machine)"
fi
if [ "$asked" = win32 ]; then
  say_none "WINDOWS=win32 was asked for, but $why; use WINDOWS=win64"
fi
say_win64 "$why"

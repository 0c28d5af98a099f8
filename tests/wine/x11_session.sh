# What the tests that drive Wine programs through a virtual X server share.
# Sourced with `scratch` set: it makes that folder current, gives it a copy
# of the Wine prefix in WINEPREFIX, starts Xvfb on DISPLAY, and at exit
# ends Wine and the X server and exits with `status`.
rm -rf "$scratch" && mkdir -p "$scratch" || exit 1
cd "$scratch" || exit 1
cp -a "$WINEPREFIX" prefix && export WINEPREFIX="$PWD/prefix"

# Without -noreset the server starts afresh, on the US layout, whenever its
# last client leaves, as setxkbmap does while no Wine program runs.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>display.txt 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s display.txt ] && break; sleep 0.1; done
export DISPLAY=":$(cat display.txt)"
status=0
finish() {
  wineserver -k 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -rf "$WINEPREFIX"
  exit "$status"
}
trap finish EXIT

# A picture of the screen, shots/NAME.png in the scratch folder, of the
# setup window in the current folder's prefix, whose every label, button,
# line and cell must show its text whole, measured in the control's font.
shot() {
  mkdir -p "$scratch/shots"
  /usr/bin/import -window root "$scratch/shots/$1.png" 2>/dev/null
  "$wine" window_probe.exe "holsterkeys-setup" --utf8 >fit.out 2>&1
  if grep -q "^fit	clipped" fit.out; then
    echo "FAILED: $1: a text does not fit its control"; grep "^fit	clipped" fit.out; status=1
  else
    echo "ok: $1: every text fits its control"
  fi
}

# Waits up to `seconds` for FILE to hold a line matching PATTERN.
wait_for() {
  local file=$1 pattern=$2 seconds=${3:-2}
  for _ in $(seq $((seconds * 50))); do
    grep -qa "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.02
  done
  return 1
}

#!/usr/bin/env bash
# Real Linux input: players press real keys, which reach Wine through its
# X11 driver, and only a focused Wine window receives them. Under a virtual
# X server, xdotool presses keys and mouse buttons into the focused window
# of a stand-in game that has the module loaded, and the checker's --keys
# runs beside it from a terminal, as Wine players run it.
#
# Usage: x11_input.sh BUILD_DIR [WINE], with WINEPREFIX set; WINE is the
# loader that runs the build's programs (wine by default). The X server gets
# a copy of that prefix, so that Wine starts there with its X11 driver.
set -u
build=$1
wine=${2:-wine}
scratch="$build/x11-input"
. "$(dirname "$0")/x11_session.sh"
cp "$build/holsterkeys.dll" "$build/holsterkeys-check.exe" "$build/window_host.exe" .
printf '[Bindings]\r\nhandguns=0x41\r\nmachineguns=0x42\r\nsubmachine=0x64\r\nrifle=0x05\r\n' \
  > holsterkeys.ini

expect_slot() {
  if wait_for host.out "^slot $2[[:space:]]*\$"; then echo "ok: $1 selects slot $2"; else
    echo "FAILED: $1 did not select slot $2"; status=1
  fi
}

"$wine" window_host.exe 60 >host.out 2>&1 &
wait_for host.out "host ready" 60 || { echo "FAILED: the host did not start"; status=1; exit; }
window=$(xdotool search --sync --name "holsterkeys host" | head -n 1)
xdotool windowfocus --sync "$window"

xdotool key a
expect_slot "the letter A" 2
# The numpad's 4 key: KP_Left unshifted, Numpad 4 with Num Lock on.
xdotool key Num_Lock key KP_Left
expect_slot "Numpad 4 with Num Lock on" 4
# X11 button 8 is the first extra mouse button, X1.
xdotool mousemove --window "$window" 50 50 click 8
expect_slot "mouse button X1" 6
xdotool keydown b sleep 0.005 keyup b
expect_slot "a 5 ms tap of B" 5

"$wine" holsterkeys-check.exe --keys >keys.out 2>&1 &
checker=$!
wait_for keys.out "Esc or Ctrl+C ends" 30 || { echo "FAILED: --keys did not start"; status=1; }
xdotool key c
if wait_for keys.out "0x43 ( 67)  C"; then echo "ok: --keys shows C"; else
  echo "FAILED: --keys did not show C"; cat keys.out; status=1
fi
xdotool key Escape
for _ in $(seq 100); do kill -0 "$checker" 2>/dev/null || break; sleep 0.05; done
if kill -0 "$checker" 2>/dev/null; then echo "FAILED: Esc did not end --keys"; status=1; else
  wait "$checker" || { echo "FAILED: --keys ended with status $?"; status=1; }
fi

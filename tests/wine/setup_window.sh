#!/usr/bin/env bash
# The setup window as a player drives it: under a virtual X server, xdotool
# presses real keys and mouse buttons into it through Wine's X11 driver, and
# a probe reads its controls and rows back as text. Each state is saved as
# a screenshot in shots/, beside the rest of the run.
#
# Usage: setup_window.sh BUILD_DIR [WINE], with WINEPREFIX set; WINE is the
# loader that runs the build's programs (wine by default).
set -u
build=$1
wine=${2:-wine}
scratch="$build/setup-window"
. "$(dirname "$0")/x11_session.sh"
cp "$build/holsterkeys-setup.exe" "$build/window_probe.exe" "$build/window_host.exe" \
  "$build/holsterkeys.dll" .
mkdir -p shots

# No window manager runs, so Wine draws no frames of its own; and without
# Wine's fonts in the prefix the title bar has no glyphs.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null

# A player's file with findings, comments and another section.
players_file='; my keys\r\n[Bindings]\r\nhandguns=0x41 ; A\r\nmachineguns=F5\r\nsubmachine=0x64\r\nshotgun=0x63\r\nrifle=0x63\r\n\r\n[Other]\r\nrifle=1\r\n'
printf "$players_file" >holsterkeys.ini

# Reads the window until its text matches PATTERN, for up to `seconds`. The
# probe prints Windows-1252, so the text is matched byte by byte.
window_shows() {
  local pattern=$1 seconds=${2:-5}
  for _ in $(seq $((seconds * 4))); do
    "$wine" window_probe.exe "holsterkeys-setup" >probe.out 2>&1
    LC_ALL=C grep -qaE "$pattern" probe.out && return 0
    sleep 0.25
  done
  return 1
}

# The same, with the window's text in UTF-8, for a window in any language.
window_says() {
  local pattern=$1 seconds=${2:-5}
  for _ in $(seq $((seconds * 4))); do
    "$wine" window_probe.exe "holsterkeys-setup" --utf8 >probe.out 2>&1
    grep -qaE "$pattern" probe.out && return 0
    sleep 0.25
  done
  return 1
}

# A template of the catalogue as LANGUAGE says it, as a pattern.
said_in() { python3 "$(dirname "$0")/../../tools/messages.py" pattern "$1" "$2"; }

check() {
  local name=$1
  shift
  if window_shows "$@"; then echo "ok: $name"; else
    echo "FAILED: $name"; cat probe.out; status=1
  fi
}

# The file must hold exactly what printf makes of FORMAT.
check_file() {
  if cmp -s holsterkeys.ini <(printf "$2"); then echo "ok: $1"; else
    echo "FAILED: $1"; od -c holsterkeys.ini | head -20; status=1
  fi
}

# Starts the window in the folder setup_folder, else in this one.
start_setup() {
  (cd "${setup_folder:-.}" && exec "$wine" holsterkeys-setup.exe "$@") >setup.out 2>&1 &
  window_shows "^title	holsterkeys-setup - " 60 || { echo "FAILED: no window"; status=1; exit; }
  window=$(xdotool search --sync --name "holsterkeys-setup" | head -n 1)
  xdotool windowfocus --sync "$window"
}

start_setup
check "five rows in slot order, with the checker's findings" \
  "^row	4	Rifles \(slot 6\)	Numpad3 \(0x63\)	same key as shotgun: rifle wins"
# The probe reads one control after another while the window may be
# refreshing, so each state is waited for on its own.
check "the row of a key name" \
  "^row	3	Machine guns \(slot 5\)	\"F5\"	F5 is not a number: reads as 0"
check "the findings pane" "^control	Edit	2 findings:"
check "the controls lie inside the window, apart" "^layout	ok"
shot rows

# By keyboard alone: down to shotgun, Enter, F7.
xdotool key Down Return
check "Enter asks for the key" "Press the key for shotgun \(slot 3\)\. Esc cancels\."
shot waiting
xdotool key F7
check "F7 is written and shown" "^row	1	Shotgun \(slot 3\)	F7 \(0x76\)	ok"
check_file "only shotgun's value changed" "${players_file/shotgun=0x63/shotgun=0x76}"
shot written
bound_file=${players_file/shotgun=0x63/shotgun=0x76}

xdotool key Return
check "Change key again" "Press the key for shotgun"
xdotool mousemove --window "$window" 100 100 click 1
check "the left mouse button is refused" "Not the left mouse button: it fires"
shot refused
xdotool key Escape
check "Esc cancels" "Cancelled; nothing was written\."
check_file "a cancelled change writes nothing" "$bound_file"

chmod a-w holsterkeys.ini
xdotool key alt+c F8
check "a read-only file is refused with the reason" "The file is read-only"
check_file "a read-only file stays as it was" "$bound_file"
shot read-only
chmod u+w holsterkeys.ini

xdotool key Down Down Down Delete
check "Delete unbinds on purpose" "^row	4	Rifles \(slot 6\)	\(none\)	not bound \(on purpose\)"
check_file "unbinding empties rifle's value" "${bound_file/rifle=0x63/rifle=}"

printf '[Bindings]\r\nhandguns=0x42\r\n' >holsterkeys.ini
check "an edit from outside shows" "^row	0	Handguns \(slot 2\)	B \(0x42\)	ok"
check "the status line speaks of the new file" \
  "^control	Static	The file was changed outside this window; this is what it holds now\.	"
xdotool windowfocus --sync "$window" keydown b
check "holding a bound key highlights its row" "^row	0	Handguns.*highlighted"
shot held
xdotool keyup b

# A file changed outside while a key is awaited is never written over, even
# when the key comes at once, before the window has looked at the file again.
xdotool windowfocus --sync "$window" key Home Return
check "Change key while the file is about to change" "Press the key for handguns"
printf '[Bindings]\r\nhandguns=0x43\r\nrifle=0x44\r\n' >holsterkeys.ini
xdotool key F9
sleep 1
grep -qa "^rifle=0x44" holsterkeys.ini && echo "ok: the change from outside is kept" ||
  { echo "FAILED: a change from outside was written over"; od -c holsterkeys.ini | head; status=1; }
printf '[Bindings]\r\nhandguns=0x42\r\n' >holsterkeys.ini
check "B is bound again" "^row	0	Handguns \(slot 2\)	B \(0x42\)	ok"

"$wine" window_host.exe 60 >host.out 2>&1 &
check "the game line shows the running host and its slot" \
  "Game: window_host.exe has the module loaded, slot [0-9]+ [^	]*\. It reads this folder\." 15
shot game

# A bound key held while another window has the focus highlights nothing:
# the window shows what a press does only while it is in front.
host_window=$(xdotool search --sync --name "holsterkeys host" | head -n 1)
xdotool windowfocus --sync "$host_window" keydown b
sleep 1
if window_shows "^row	0	Handguns" 2 && ! LC_ALL=C grep -qa "highlighted" probe.out; then
  echo "ok: a key held in another window highlights nothing"
else
  echo "FAILED: a key held in another window highlights a row"; cat probe.out; status=1
fi
xdotool keyup b

wineserver -k 2>/dev/null
sleep 1

# At 150 % (144 dots per inch) nothing may be clipped. With no file yet the
# window says so, and the first key makes one.
"$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
rm -f holsterkeys.ini
start_setup
check "with no file the window says so" "There is no holsterkeys.ini in this folder yet"
check "at 150 % the controls lie inside the window, apart" "^layout	ok"
shot scale-150
xdotool key Return F6
check "the first key makes the file" "^row	0	Handguns \(slot 2\)	F6 \(0x75\)	ok"
grep -qa "^handguns=0x75" holsterkeys.ini || { echo "FAILED: the new file"; status=1; }

# The extra mouse buttons, each as itself: X11 buttons 8 and 9 are X1 and X2.
xdotool key Return
check "Change key for a mouse button" "Press the key for handguns"
xdotool mousemove --window "$window" 100 100 click 8
check "mouse button X1 is written as 0x05" "^row	0	Handguns \(slot 2\)	Mouse X1 \(0x05\)	ok"
check "the status says which button" "^control	Static	Wrote handguns=0x05 \(Mouse X1\)\.	"
xdotool key Return
check "Change key again for a mouse button" "Press the key for handguns"
xdotool mousemove --window "$window" 100 100 click 9
check "mouse button X2 is written as 0x06" "^row	0	Handguns \(slot 2\)	Mouse X2 \(0x06\)	ok"
check "the status says which button again" "^control	Static	Wrote handguns=0x06 \(Mouse X2\)\.	"

# A key message that no key state follows is a key the module never sees:
# it is refused with the reason, and nothing is written.
cp holsterkeys.ini before-unseen.ini
xdotool key Return
check "Change key for a key the module cannot see" "Press the key for handguns"
"$wine" window_probe.exe "holsterkeys-setup" DB >/dev/null 2>&1
check "a key without a key state is refused with the reason" \
  "^control	Static	Not \[ \{: the module cannot see this key here \(under Wine some keys of some layouts are invisible to it\): pick another key, or Esc to cancel\.	"
shot unseen
cmp -s holsterkeys.ini before-unseen.ini && echo "ok: a key the module cannot see writes nothing" ||
  { echo "FAILED: a key the module cannot see was written"; status=1; }
xdotool key F9
check "the next key the module sees is taken" "^row	0	Handguns \(slot 2\)	F9 \(0x78\)	ok"

# The player's own keyboard. Wine reads the layout when a program starts, so
# each row sets its layout and starts the window again. Columns: the layout
# (as setxkbmap takes it), the X keycode of the key pressed, what it types,
# and its label as the probe prints it, in Windows-1252 (a Cyrillic letter
# comes out as "?"); a key that types nothing, as AltGr, is labelled with
# the name Wine gives it. The label must show in the key's row, and holding
# the key must make the stand-in game store handguns' slot. A dead key,
# labelled "dead" here, reaches Wine's programs only on its second press,
# and is refused then.
layout_rows=(
  "de|47|odiaeresis|$(printf '\xd6')"
  "fr|48|ugrave|$(printf '\xd9')"
  "ru|38|Cyrillic_ef|\\?"
  "br abnt2|47|ccedilla|$(printf '\xc7')"
  "de|108|ISO_Level3_Shift|ISO_Level3_Shift"
  "de|21|dead_acute|dead"
)
for row in "${layout_rows[@]}"; do
  IFS='|' read -r layout key types label <<<"$row"
  wineserver -k 2>/dev/null
  sleep 1
  setxkbmap $layout
  printf '[Bindings]\r\nhandguns=0x41\r\n' >holsterkeys.ini
  start_setup
  # A window just started may not take the first key yet.
  for _ in 1 2 3; do
    xdotool windowfocus --sync "$window" key Return
    window_shows "Press the key for handguns" 2 && break
  done
  check "$layout: Change key" "Press the key for handguns"
  xdotool keydown "$key" sleep 0.3 keyup "$key"
  if [ "$label" = dead ]; then
    xdotool keydown "$key" sleep 0.3 keyup "$key"
    check "$layout: $types is refused with the reason" \
      "^control	Static	Not this key: under Wine, a key that puts an accent on the next letter, as \\^ and .* do, reaches the game only on every second press\. Press another key, or Esc to cancel\.	"
    check_file "$layout: a dead key writes nothing" '[Bindings]\r\nhandguns=0x41\r\n'
    shot "layout-${layout// /-}-$types"
    continue
  fi
  check "$layout: $types shows its own label" \
    "^row	0	Handguns \(slot 2\)	$label, [^	]+ \(0x[0-9A-F]{2}\)	ok"
  shot "layout-${layout// /-}-$types"
  "$wine" window_host.exe 30 >host.out 2>&1 &
  check "$layout: the stand-in game runs the module" "Game: window_host.exe has the module loaded" 15
  xdotool windowfocus --sync "$window" keydown "$key"
  wait_for host.out "^slot 2" 3 && echo "ok: $layout: holding $types selects handguns" ||
    { echo "FAILED: $layout: holding $types stored nothing"; cat host.out; status=1; }
  xdotool keyup "$key"
done

setxkbmap us

# A game in a folder that only administrators may change reads Windows'
# VirtualStore copy of its file: the window shows the copy's rows, says why,
# and writes a key into the copy, leaving the file the game ignores alone.
wineserver -k 2>/dev/null
sleep 1
game="$WINEPREFIX/drive_c/Program Files/hk-setup-window"
copy="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VirtualStore/Program Files/hk-setup-window"
mkdir -p "$game" "$copy"
cp holsterkeys-setup.exe "$game/"
printf "$players_file" >"$game/holsterkeys.ini"
printf '[Bindings]\r\nhandguns=0x42\r\n' >"$copy/holsterkeys.ini"
setup_folder=$game start_setup
check "the rows are those of the copy the game reads" "^row	0	Handguns \(slot 2\)	B \(0x42\)	ok"
check "the findings say why" "Windows gives it a copy of C:.Program Files.hk-setup-window.holsterkeys\.ini"
check "the title names the game's folder" "^title	holsterkeys-setup - C:.Program Files.hk-setup-window"
shot virtual-store
xdotool key Return F6
check "the key is shown written into the copy" \
  "^control	Static	Wrote handguns=0x75 \(F6\)\. The change went into the copy that the game reads in place of the file in the game.s folder; that file is left as it was\."
grep -qa "^handguns=0x75" "$copy/holsterkeys.ini" && echo "ok: the copy holds the key" ||
  { echo "FAILED: the copy does not hold the key"; status=1; }
cmp -s "$game/holsterkeys.ini" <(printf "$players_file") && echo "ok: the ignored file is as it was" ||
  { echo "FAILED: the file the game ignores was written"; status=1; }
rm -rf "$game" "$copy"

# The folder of the file changed and deleted under the window: the window
# goes on, and shows the file as it is.
wineserver -k 2>/dev/null
sleep 1
mkdir -p deleted
cp holsterkeys-setup.exe deleted/
printf '[Bindings]\r\nhandguns=0x42\r\n' >deleted/holsterkeys.ini
setup_folder=deleted start_setup
check "the window in a folder about to be deleted" "^row	0	Handguns \(slot 2\)	B \(0x42\)	ok"
# A game that writes its log into the folder without a pause: an edit of
# the file still shows.
(for _ in $(seq 300); do echo "frame" >>deleted/game.log; sleep 0.02; done) &
logger=$!
printf '[Bindings]\r\nhandguns=0x43\r\n' >deleted/holsterkeys.ini
check "an edit shows while a game writes its log beside the file" \
  "^row	0	Handguns \(slot 2\)	C \(0x43\)	ok"
kill "$logger" 2>/dev/null
rm -rf deleted
check "its folder deleted, the window shows the file gone" "^row	0	Handguns \(slot 2\)	\(none\)"

# The window in German, whose words are the longest, and in Russian, in
# Cyrillic, at 100 % and at 150 %: in every state every text whole, and a
# screenshot of each for people who read the language.
for dpi in 96 144; do
  "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
  for language in de ru; do
    wineserver -k 2>/dev/null
    sleep 1
    printf "$players_file" >holsterkeys.ini
    start_setup --language $language
    state="language-$language-$dpi"
    window_says "$(said_in $language "F&indings and notes:")" &&
      echo "ok: $state: the window speaks the language" ||
      { echo "FAILED: $state: the window speaks another language"; cat probe.out; status=1; }
    shot "$state-rows"
    for _ in 1 2 3; do
      xdotool windowfocus --sync "$window" key Down Return
      window_says "$(said_in $language "Press the key for {category} (slot {slot}). Esc cancels.")" 2 && break
    done
    shot "$state-waiting"
    xdotool mousemove --window "$window" 100 100 click 1
    window_says "$(said_in $language "Press another key, or Esc to cancel.")" ||
      { echo "FAILED: $state: the left button is not refused"; status=1; }
    shot "$state-refused"
    xdotool key Escape
    window_says "$(said_in $language "Cancelled; nothing was written.")" ||
      { echo "FAILED: $state: Esc does not cancel"; status=1; }
    shot "$state-cancelled"
  done
done

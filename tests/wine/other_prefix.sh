#!/usr/bin/env bash
# A game in a Wine prefix of its own, as Steam's Proton runs each game, and
# the checker and the setup window started with plain Wine in another, the
# test's own: they find the game among Linux's processes, and say its
# prefix, its folder, Steam's number of it, and how to run the setup window
# in its prefix. Each line they give is then followed: Steam's launch
# options run on a stand-in for Proton's %command%, and the protontricks
# line with a stand-in for protontricks-launch that does what its
# documentation says; the window each starts runs in the game's prefix and
# says of the game what it says of a game of its own prefix.
#
# Usage: other_prefix.sh BUILD_DIR [WINE], with WINEPREFIX set; WINE is the
# loader that runs the build's programs (wine by default).
set -u
build=$1
wine=${2:-wine}
scratch="$build/other-prefix"
. "$(dirname "$0")/x11_session.sh"

# Steam's layout: the game in steamapps/common, and its prefix in the
# game's compatibility data, steamapps/compatdata/APP/pfx.
steamapps="$(pwd -P)/steam/steamapps"
game="$steamapps/common/The Game"
compat="$steamapps/compatdata/4242"
mkdir -p "$game" "$compat"
cp -a "$WINEPREFIX" "$compat/pfx"
trap 'WINEPREFIX="$compat/pfx" wineserver -k 2>/dev/null; rm -rf "$compat/pfx"; finish' EXIT
cp "$build/holsterkeys.dll" "$build/window_host.exe" "$build/holsterkeys-check.exe" \
  "$build/holsterkeys-setup.exe" "$build/window_probe.exe" "$game/"
cd "$game" || exit 1
printf '[Bindings]\r\nhandguns=0x41\r\n' >holsterkeys.ini

# Prints FILE's lines that are TEXT whole, and fails where there is none.
says() {
  local name=$1 file=$2 text=$3
  if grep -qxF -- "$text" "$file"; then echo "ok: $name"; else
    echo "FAILED: $name: no line"; echo "$text"; echo "in"; cat "$file"; status=1
  fi
}

# Waits until the setup window of PREFIX shows a control whose text is
# TEXT, or OTHER_TEXT where one is given.
window_in() {
  local prefix=$1 name=$2 text=$3 other_text=${4:-$3}
  for _ in $(seq 60); do
    WINEPREFIX="$prefix" "$wine" window_probe.exe "holsterkeys-setup" --utf8 >probe.out 2>&1
    grep -qF -e "	$text	" -e "	$other_text	" probe.out && { echo "ok: $name"; return 0; }
    sleep 0.25
  done
  echo "FAILED: $name: no control says"; echo "$text"; echo "in"; cat probe.out; status=1
}

# Closes the setup window of PREFIX as a player does, with its Close
# button's Alt key (KEY, l in English), and waits until it is gone.
close_window() {
  local prefix=$1 key=${2:-l}
  xdotool search --name "^holsterkeys-setup" windowfocus --sync key "alt+$key" 2>/dev/null
  for _ in $(seq 40); do
    WINEPREFIX="$prefix" "$wine" window_probe.exe "holsterkeys-setup" >/dev/null 2>&1 || return 0
    sleep 0.25
  done
  echo "FAILED: the window of $prefix did not close"; status=1
}

WINEPREFIX="$compat/pfx" SteamAppId=4242 STEAM_COMPAT_DATA_PATH="$compat" \
  "$wine" window_host.exe 120 >game.out 2>&1 &
wait_for game.out "host ready" 60 || { echo "FAILED: the game did not start"; status=1; exit; }
# A game of the checker's own prefix, in the same folder, is listed once, as
# Windows lists it.
"$wine" window_host.exe 120 >own.out 2>&1 &
own_game=$!
wait_for own.out "host ready" 60 || { echo "FAILED: the own game did not start"; status=1; exit; }

"$wine" holsterkeys-check.exe --running >running.out 2>&1
running_status=$?
[ "$running_status" = 0 ] && echo "ok: --running exits with 0" ||
  { echo "FAILED: --running exited with $running_status"; cat running.out; status=1; }
tr -d '\r' <running.out >running.txt
launch_options="bash -c 'for a; do [[ \${a,,} == *\"/window_host.exe\" ]] && exec \"\${c[@]}\" \"$game/holsterkeys-setup.exe\"; c+=(\"\$a\"); done; exec \"\$@\"' -- %command%"
protontricks="cd '$game' && protontricks-launch --appid 4242 holsterkeys-setup.exe"
says "the game's process" running.txt "  Module: $game/holsterkeys.dll"
says "its prefix" running.txt "  Wine prefix: $compat/pfx, not this program's prefix."
says "Steam's number of it" running.txt "  Steam app: 4242"
says "its folder" running.txt "  Current folder: $game"
says "its file" running.txt "  The module reads $game/holsterkeys.ini: it is there."
says "the protontricks line" running.txt "    $protontricks"
says "Steam's launch options" running.txt "    $launch_options"
if grep -qE "^  Slot variable at 0x00B7CDBC: (0, not a slot number|this program may not read it)" \
  running.txt; then echo "ok: its slot, or that it cannot be read"; else
  echo "FAILED: its slot"; cat running.txt; status=1
fi
blocks=$(grep -c "^Linux process .*/window_host.exe$" running.txt)
own=$(grep -c "^Process [0-9]*: .*window_host.exe$" running.txt)
elsewhere_own=$(grep -cF "Wine prefix: $WINEPREFIX" running.txt)
[ "$blocks" -ge 1 ] && [ "$own" = 1 ] && [ "$elsewhere_own" = 0 ] &&
  echo "ok: the game of this prefix is listed once, as Windows lists it" ||
  { echo "FAILED: the games listed"; cat running.txt; status=1; }
kill "$own_game"
wait "$own_game" 2>/dev/null

# The window in the test's prefix, opened in the game's folder.
# Where Linux lets no program read another's memory but its child's
# (Yama's ptrace scope), the window says that the slot cannot be read.
"$wine" holsterkeys-setup.exe >setup.out 2>&1 &
reads_here="It reads this folder. It runs under Steam as app 4242. To run this window in the game's prefix, enter in a terminal: $protontricks"
window_in "$WINEPREFIX" "the game line names the game, its prefix, its folder and Steam's number" \
  "Game: window_host.exe has the module loaded, slot 0 (none selected yet), in another Wine prefix: $compat/pfx. $reads_here" \
  "Game: window_host.exe has the module loaded in another Wine prefix, $compat/pfx; its slot cannot be read. $reads_here"
shot other-prefix
close_window "$WINEPREFIX"

# The same line in German, the longest of the languages, fits its control.
"$wine" holsterkeys-setup.exe --language de >setup-de.out 2>&1 &
window_in "$WINEPREFIX" "the game line in German names the game's prefix" \
  "Spiel: window_host.exe hat das Modul geladen, Slot 0 (noch keiner gewählt), in einem anderen Wine-Präfix: $compat/pfx. Es liest die Datei aus diesem Ordner. Das Spiel läuft unter Steam als App 4242. Um dieses Fenster im Präfix des Spiels zu öffnen, gib in einem Terminal ein: $protontricks" \
  "Spiel: window_host.exe hat das Modul geladen, in einem anderen Wine-Präfix: $compat/pfx; sein Slot lässt sich nicht lesen. Es liest die Datei aus diesem Ordner. Das Spiel läuft unter Steam als App 4242. Um dieses Fenster im Präfix des Spiels zu öffnen, gib in einem Terminal ein: $protontricks"
shot other-prefix-de
close_window "$WINEPREFIX" s

# Steam puts the command it would run in place of %command%: here the game
# in its prefix, as Proton's command ends with the game's program. The
# window that starts in its place is in the game's prefix, and sees the
# game as one of its own. Steam may name the program in another case than
# its file has, which Wine does not mind.
proton="env WINEPREFIX='$compat/pfx' '$wine' '$game/Window_Host.exe' 120"
sh -c "${launch_options/\%command\%/$proton}" >steam.out 2>&1 &
window_in "$compat/pfx" "Steam's launch options start the window in the game's prefix" \
  "Game: window_host.exe has the module loaded, slot 0 (none selected yet). It reads this folder."
close_window "$compat/pfx"

# protontricks-launch runs a program in the prefix of the Steam app given,
# the program's path taken from the terminal's folder, and since version
# 1.12 in that folder.
mkdir -p "$scratch/bin"
cat >"$scratch/bin/protontricks-launch" <<EOF
#!/usr/bin/env bash
[ "\$1" = --appid ] || exit 2
exec env WINEPREFIX="$steamapps/compatdata/\$2/pfx" "$wine" "\$(realpath "\$3")"
EOF
chmod +x "$scratch/bin/protontricks-launch"
(cd / && PATH="$scratch/bin:$PATH" exec bash -c "$protontricks") >protontricks.out 2>&1 &
window_in "$compat/pfx" "the protontricks line starts the window in the game's prefix and folder" \
  "Game: window_host.exe has the module loaded, slot 0 (none selected yet). It reads this folder."
close_window "$compat/pfx"

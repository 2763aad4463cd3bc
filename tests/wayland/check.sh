#!/usr/bin/env bash
# Orvelle natively on Wayland, under a headless sway with the desktop portal
# and a picture on the desktop: the start-up message box is dismissed with
# Return, the main window is shown and takes keys; Ctrl+G puts the desktop
# into the canvas without the window; the interval, started from the menu,
# saves the framed area of the desktop without its own window through one
# screen cast (whose token it keeps), once while nothing changes, and 停止
# brings the main window back; Ctrl+Q ends it;
# orvelle-trim --screen saves the framed area as grim sees it and leaves no
# picture in /tmp. Where this desktop's portal offers no global keys, the
# key's dialog says so.
#   check.sh <orvelle> <orvelle-trim> <picture> <key_portal_test> <screencast_shm_proxy>
set -euo pipefail
[ -n "${IN_SWAY:-}" ] || exec env IN_SWAY=1 "$(dirname "$0")/../support/sway-session.sh" --portal --cast-proxy "$5" --background "$3" \
  "$0" "$@"
# In a sanitized build, whole stacks for leaks: Mesa's pass through a driver
# unloaded before the end, which the fast unwinder cannot pass.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
dir=$(mktemp -d)
log=$dir/log
mkdir "$dir/out"
shows() { swaymsg -t get_tree | grep -q "\"name\": \"$1\""; }
wait_for() { for _ in $(seq 100); do eval "$1" && return; sleep 0.1; done; echo "$2"; cat "$log"; exit 1; }
# Whether the two pictures hold the same pixels (within JPEG's loss when a tolerance is given).
same() {
  local error
  error=$( (compare -metric RMSE "$1" "$2" null: 2>&1 || true) | sed 's/.*(\(.*\))/\1/')
  [[ "$error" =~ ^[0-9.e-]+$ ]] || { echo "compare: $error"; exit 1; }
  awk "BEGIN { exit !($error <= ${3:-0}) }"
}
frame='[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=600\nPicHeight=400\nNewPicStartX=0\nNewPicStartY=0\nNewPicWidth=600\nNewPicHeight=400\nPicRatio=0\n'
mkdir -p "$dir/config/Orvelle/Orvelle"
printf "[File]\nF_Path=%s\n$frame" "$dir/out" >"$dir/config/Orvelle/Orvelle/trim.ini"
sleep 1
grim "$dir/desktop.png"
XDG_CONFIG_HOME="$dir/config" QT_QPA_PLATFORM=wayland "$1" >"$log" 2>&1 &
orvelle=$!
wait_for 'shows Pemrose' "no start-up message box on Wayland"
swaymsg '[title="Pemrose"] focus' >/dev/null
wtype -s 400 -k Return -s 400
wait_for 'shows Orvelle && ! shows Pemrose' "the main window is not shown on Wayland"
sleep 1
grim "$dir/shown.png"
# The strip runs across the window's top: more colours there than on the desktop.
convert "$dir/shown.png" -crop 1280x60+0+0 +repage "$dir/shown-top.png"
convert "$dir/desktop.png" -crop 1280x60+0+0 +repage "$dir/desktop-top.png"
! same "$dir/shown-top.png" "$dir/desktop-top.png" 0.05 || { echo "the screen does not show the main window"; exit 1; }
swaymsg '[title="Orvelle"] focus' >/dev/null
wtype -s 400 -M ctrl -k g -m ctrl -s 400
sleep 2
wait_for 'shows Orvelle' "the main window did not come back after Ctrl+G"
grim "$dir/grabbed.png"
# The canvas, below the menus and the strip, shows the desktop's top-left corner.
convert "$dir/desktop.png" -crop 600x300+0+0 +repage "$dir/corner.png"
found=""
for y in $(seq 20 120); do
  convert "$dir/grabbed.png" -crop 600x300+0+$y +repage "$dir/at.png"
  same "$dir/at.png" "$dir/corner.png" && found=$y && break
done
[ -n "$found" ] || { echo "Ctrl+G did not put the desktop into the canvas on Wayland"; exit 1; }
# The interval every second, named "iv" at quality 100 (from the canvas,
# which has the focus, back to the quality slider and to the file-name box
# before it), through the fourth menu's last entry. A key that wtype sends at
# once may be lost while the keymap it brings is taken: each call waits first.
swaymsg '[title="Orvelle"] focus' >/dev/null
wtype -s 400 -M ctrl -k l -m ctrl -s 400 -M shift -k Tab -m shift -k End -M shift -k Tab -m shift -s 200 iv \
  -s 300 -k Alt_L -s 400 -k Right -k Right -k Right -k Down -k Up -k Return
wait_for 'shows 定期トリム' "the interval's dialog did not open on Wayland"
wtype -s 400 -M ctrl -k a -m ctrl 1 -k Return
wait_for '[ -e "$dir/out/iv-001.jpg" ]' "the interval saved nothing on Wayland"
sleep 3
convert "$dir/desktop.png" -crop 600x400+200+150 +repage "$dir/desktop-framed.png"
[ "$(ls "$dir/out" | grep -c '^iv-')" = 1 ] && same "$dir/out/iv-001.jpg" "$dir/desktop-framed.png" 0.02 ||
  { echo "the interval did not save the desktop's framed area once on Wayland:"; ls "$dir/out"; exit 1; }
grep -q '^ScreenCastToken=.' "$dir/config/Orvelle/Orvelle/trim.ini" ||
  { echo "the interval kept no screen cast token"; cat "$dir/config/Orvelle/Orvelle/trim.ini"; exit 1; }
# 停止 has the focus; the window hides for each grab, so a key may come while it is away.
for _ in $(seq 20); do
  swaymsg '[title="定期トリム"] focus' >/dev/null 2>&1 && wtype -k Escape -s 100 -k space -s 400
  shows Orvelle && break
done
wait_for 'shows Orvelle && ! shows 定期トリム' "停止 did not bring the main window back on Wayland"
swaymsg '[title="Orvelle"] focus' >/dev/null
wtype -s 400 -M ctrl -k q -m ctrl -s 400
wait_for '! kill -0 $orvelle 2>/dev/null' "Ctrl+Q did not end Orvelle on Wayland"
wait $orvelle || { echo "Orvelle ended with an error on Wayland:"; cat "$log"; exit 1; }
! grep -v -E 'XDG_RUNTIME_DIR|QStandardPaths' "$log" || { echo "Orvelle wrote the above on Wayland"; exit 1; }
printf "[File]\nF_Path=%s\n$frame" "$dir/out" >"$dir/trim.ini"
sleep 1
QT_QPA_PLATFORM=wayland "$2" --screen --quality 100 --settings "$dir/trim.ini" >"$dir/saved" 2>"$log" ||
  { echo "orvelle-trim --screen failed on Wayland:"; cat "$log"; exit 1; }
grim -g "200,150 600x400" "$dir/framed.png"
[ "$(cat "$dir/saved")" = "$dir/out/screen-001.jpg" ] && same "$dir/out/screen-001.jpg" "$dir/framed.png" 0.02 ||
  { echo "orvelle-trim --screen did not save the framed area on Wayland"; exit 1; }
[ ! -e /tmp/out.png ] || { echo "the portal's screenshot was left in /tmp"; exit 1; }
QT_QPA_PLATFORM=offscreen ORVELLE_REAL_PORTAL=1 "$4" noGlobalKeysOnThisDesktop >"$log" 2>&1 ||
  { echo "the key's dialog did not say that this desktop offers no global keys:"; cat "$log"; exit 1; }
echo "Orvelle is up on Wayland, takes keys and the screen through the portal"

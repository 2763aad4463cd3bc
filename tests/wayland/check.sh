#!/usr/bin/env bash
# Orvelle natively on Wayland, under a headless sway: the start-up message box
# is dismissed with Return, the main window is shown (on the screen, where
# only the magenta background was) and takes keys: Ctrl+Q ends it.
#   check.sh <orvelle executable>
set -euo pipefail
[ -n "${IN_SWAY:-}" ] || exec env IN_SWAY=1 "$(dirname "$0")/../support/sway-session.sh" "$0" "$@"
# In a sanitized build, whole stacks for leaks: Mesa's pass through a driver
# unloaded before the end, which the fast unwinder cannot pass.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
log=$(mktemp) shot=$(mktemp --suffix=.png)
QT_QPA_PLATFORM=wayland "$1" >"$log" 2>&1 &
orvelle=$!
shows() { swaymsg -t get_tree | grep -q "\"name\": \"$1\""; }
wait_for() { for _ in $(seq 100); do eval "$1" && return; sleep 0.1; done; echo "$2"; cat "$log"; exit 1; }
wait_for 'shows Pemrose' "no start-up message box on Wayland"
swaymsg '[title="Pemrose"] focus' >/dev/null
wtype -s 400 -k Return -s 400
wait_for 'shows Orvelle && ! shows Pemrose' "the main window is not shown on Wayland"
sleep 1
grim "$shot"
# The strip runs across the window's top: more colours there than background.
[ "$(convert "$shot" -crop 1x120+640+0 -depth 8 txt:- | grep -v '^#' | grep -c -v -i ff00ff)" -gt 10 ] &&
  [ "$(convert "$shot" -crop 1x1+640+900 -depth 8 txt:- | grep -c -i ff00ff)" -eq 0 ] ||
  { echo "the screen does not show the main window"; exit 1; }
swaymsg '[title="Orvelle"] focus' >/dev/null
wtype -s 400 -M ctrl -k q -m ctrl -s 400
wait_for '! kill -0 $orvelle 2>/dev/null' "Ctrl+Q did not end Orvelle on Wayland"
wait $orvelle || { echo "Orvelle ended with an error on Wayland:"; cat "$log"; exit 1; }
! grep -v -E 'XDG_RUNTIME_DIR|QStandardPaths' "$log" || { echo "Orvelle wrote the above on Wayland"; exit 1; }
echo "Orvelle is up on Wayland, shows its window and takes keys"

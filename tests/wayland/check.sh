#!/usr/bin/env bash
# Orvelle natively on Wayland, under a headless sway: the start-up message box
# is dismissed with Return, the main window is shown (its strip on the
# screen, where only the magenta background was) and takes keys: Ctrl+Q ends it.
#   check.sh <orvelle executable>
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${IN_SWAY:-}" ]; then
  exec env IN_SWAY=1 "$here/../support/sway-session.sh" "$0" "$@"
fi
# In a sanitized build, whole stacks for leaks: Mesa's come through a driver
# unloaded before the end, which the fast unwinder cannot pass.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
log=$(mktemp)
shot=$(mktemp --suffix=.png)
QT_QPA_PLATFORM=wayland "$1" >"$log" 2>&1 &
orvelle=$!
trap 'kill $orvelle 2>/dev/null || true; rm -f "$log" "$shot"' EXIT
focused() { swaymsg -t get_tree | grep -q "\"name\": \"$1\""; }
for _ in $(seq 100); do focused Pemrose && break; sleep 0.1; done
focused Pemrose || { echo "no start-up message box on Wayland"; cat "$log"; exit 1; }
swaymsg '[title="Pemrose"] focus' >/dev/null
wtype -s 400 -k Return -s 400
for _ in $(seq 100); do focused Orvelle && ! focused Pemrose && break; sleep 0.1; done
focused Orvelle || { echo "the main window is not shown on Wayland"; exit 1; }
sleep 1
grim "$shot"
# The strip's two etched grooves run across the top of the window: find rows
# that are neither background nor the window's plain colour.
colours=$(convert "$shot" -crop 1x120+640+0 +repage -depth 8 txt:- | grep -c -v -i -E 'ff00ff|^#' || true)
[ "$colours" -gt 10 ] || { echo "the screen shows no window: $colours"; exit 1; }
[ "$(convert "$shot" -crop 1x1+640+900 -depth 8 txt:- | grep -c -i ff00ff)" -eq 0 ] ||
  { echo "the main window does not cover the screen"; exit 1; }
swaymsg '[title="Orvelle"] focus' >/dev/null
wtype -s 400 -M ctrl -k q -m ctrl -s 400
for _ in $(seq 50); do kill -0 $orvelle 2>/dev/null || break; sleep 0.1; done
if kill -0 $orvelle 2>/dev/null; then echo "Ctrl+Q did not end Orvelle on Wayland"; exit 1; fi
wait $orvelle || { echo "Orvelle ended with an error on Wayland:"; cat "$log"; exit 1; }
! grep -v -E 'XDG_RUNTIME_DIR|QStandardPaths' "$log" || { echo "Orvelle wrote the above on Wayland"; exit 1; }
echo "Orvelle is up on Wayland, shows its window and takes keys"

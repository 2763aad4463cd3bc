#!/usr/bin/env bash
# Continuous trimming on Wayland with the clipboard watched without the
# focus: clipboard_watch_test under a headless sway, which offers the
# clipboard control protocol, then under a headless weston, which does not.
# Every program it needs must be there: a missing one fails the check.
#   clipboard.sh <clipboard_watch_test>
set -euo pipefail
for p in sway wl-copy weston weston-flower swaymsg; do
  command -v "$p" >/dev/null || { echo "$p missing (install-deps.sh installs it)"; exit 1; }
done
[ -n "${IN_SWAY:-}" ] || exec env IN_SWAY=1 "$(dirname "$0")/../support/sway-session.sh" "$0" "$@"
export QT_QPA_PLATFORM=wayland
# In a sanitized build, whole stacks for leaks (see check.sh).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
"$1" picturesCopiedElsewhereAreSavedOnce
weston --backend=headless-backend.so --socket=orvelle-weston --idle-time=0 >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
weston=$!
trap 'kill $weston 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  [ -S "$XDG_RUNTIME_DIR/orvelle-weston" ] && break
  sleep 0.1
done
WAYLAND_DISPLAY=orvelle-weston "$1" withoutTheProtocolThePanelSaysSo
echo "continuous trimming watches the clipboard without the focus where the desktop offers it"

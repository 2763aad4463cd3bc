#!/usr/bin/env bash
# Starts Orvelle natively on Wayland, under a headless weston, and checks that
# it comes up and stays up without errors. Skipped (77) without weston.
#   check.sh <orvelle executable>
set -euo pipefail
command -v weston >/dev/null || { echo "weston not installed: skipped"; exit 77; }
export XDG_RUNTIME_DIR=$(mktemp -d)
weston --backend=headless-backend.so --socket=orvelle-test --idle-time=0 >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
weston=$!
trap 'kill $weston ${orvelle:-} 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/orvelle-test" ] && break; sleep 0.1; done
WAYLAND_DISPLAY=orvelle-test QT_QPA_PLATFORM=wayland "$1" >"$XDG_RUNTIME_DIR/orvelle.log" 2>&1 &
orvelle=$!
sleep 4
kill -0 $orvelle || { echo "Orvelle ended on Wayland:"; cat "$XDG_RUNTIME_DIR/orvelle.log"; exit 1; }
! grep -v XDG_RUNTIME_DIR "$XDG_RUNTIME_DIR/orvelle.log" || { echo "Orvelle wrote the above on Wayland"; exit 1; }
echo "Orvelle is up on Wayland"

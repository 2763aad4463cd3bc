#!/usr/bin/env bash
# Runs the screen cast's benchmark inside the headless sway that
# scripts/bench.sh starts, on an output of 3840 x 2160.
#   in_sway.sh <screencast_bench> <orvelle-trim>
set -euo pipefail
swaymsg 'output HEADLESS-1 resolution 3840x2160' >/dev/null
sleep 1
QT_QPA_PLATFORM=wayland "$1" "$2"

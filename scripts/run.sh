#!/usr/bin/env bash
# Starts Orvelle from a build folder. With no display present, runs the demo
# instead: the program on a virtual X display, one whole use with the sample
# screen image, and the screenshots and files it leaves.
set -euo pipefail
build="${1:-build}"
root="$(cd "$(dirname "$0")/.." && pwd)"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$build/bin/orvelle"
fi

out="$root/demo-output"
mkdir -p "$out"
echo "No display: running the demo on a virtual X display..."
status=0
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  "$build/bin/orvelle_drive" "$build/bin/orvelle" "$root/demo/sample-screen.png" "$out" || status=$?
echo
echo "Screenshot of the window:   $out/orvelle-window.png"
echo "Each step's screenshot:     $out/1-started.png ... $out/4-loaded-and-trimmed.png"
echo "JPEG files saved:           $out/pictures/shot.jpg, $out/pictures/shot-org.jpg"
echo "The program's folder:       $out/program (trim.ini, default.bmp, default-org.bmp)"
exit $status

#!/usr/bin/env bash
# Runs the benchmarks on a 4K offscreen screen and prints their ratios.
set -euo pipefail
build="${1:-build}"
config="$(mktemp --suffix=.json)"
trap 'rm -f "$config"' EXIT
cat >"$config" <<'JSON'
{ "screens": [ { "name": "uhd", "x": 0, "y": 0, "width": 3840, "height": 2300,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }
JSON
export QT_QPA_PLATFORM="offscreen:configfile=$config"
for scale in 1 2; do
  QT_SCALE_FACTOR=$scale "$build/bin/frame_bench"
  echo
done
"$build/bin/export_bench"
echo
"$build/bin/batch_bench"
echo
# The screen trim on a real X server of 3840 x 2160.
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 3840x2160x24 -nolisten tcp" "$build/bin/screen_bench"
echo
# The global key, pressed through the X server, on a display of 3840 x 2160.
xvfb-run -a -s "-screen 0 3840x2160x24 -nolisten tcp" "$build/bin/key_bench"
echo
# The interval on a screen cast, under a headless sway of 3840 x 2160 with
# the desktop portal, PipeWire and WirePlumber (run as root: the session runs
# as an unprivileged user).
tests/support/sway-session.sh --portal --cast-proxy "$build/bin/screencast_shm_proxy" bench/in_sway.sh \
  "$build/bin/screencast_bench" "$build/bin/orvelle-trim"

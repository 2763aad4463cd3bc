#!/usr/bin/env bash
# The interval through the desktop portal's screen cast, under a headless sway
# with the wlroots portal backend, PipeWire and WirePlumber: orvelle-trim
# --screen --every 1 over three pictures shown in turn saves three files equal
# to their framed areas, none while nothing changes, and asks for no
# screenshot; the token is kept in trim.ini and offered the next time; a frame
# on another output is taken by screenshots; at output scale 2 the file is the
# frame's device pixels; when the desktop ends the sharing mid-run the command
# says so and ends with 1, every file saved whole.
#   screencast.sh <orvelle-trim> <screencast_shm_proxy> <picture_window>
set -euo pipefail
[ -n "${IN_SWAY:-}" ] || exec env IN_SWAY=1 "$(dirname "$0")/../support/sway-session.sh" --portal --cast-proxy "$2" \
  "$0" "$@"
trim=$1
dir=$(mktemp -d) && mkdir "$dir/out" && trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$dir"' EXIT
printf '[File]\nF_Path=%s\n[Data]\nPicStartX=200\nPicStartY=150\nPicWidth=600\nPicHeight=400\nNewPicStartX=0\nNewPicStartY=0\nNewPicWidth=600\nNewPicHeight=400\nPicRatio=0\n' \
  "$dir/out" >"$dir/trim.ini"
fail() { echo "FAIL: $*"; ls -l "$dir/out"; exit 1; }
wait_for() { for _ in $(seq 100); do eval "$1" && return; sleep 0.1; done; fail "$2"; }
files() { ls "$dir/out" | grep -c '^cast-' || true; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 || true)" = 0 ]; }
# The framed area as the screen shows it, from grim (in device pixels).
framed() { grim "$dir/screen.png" && convert "$dir/screen.png" -crop "$1" +repage "$2"; }
# A picture over the whole screen, drawn in one go (sway's own "output bg"
# shows its bare colour while it changes the picture).
mkfifo "$dir/pictures"
QT_QPA_PLATFORM=wayland "$3" <"$dir/pictures" >/dev/null 2>&1 &
exec 3>"$dir/pictures"
show() { echo "$1" >&3; sleep 1; }
for n in 1 2 3; do convert -seed $n -size 1280x1024 plasma:fractal "$dir/picture$n.png"; done
dbus-monitor --session "type='method_call',interface='org.freedesktop.portal.Screenshot'" \
  "type='method_call',interface='org.freedesktop.portal.ScreenCast'" >"$dir/calls" 2>&1 &
show "$dir/picture1.png"
timeout 30 "$trim" --screen --every 1 --count 3 --name cast --format png --settings "$dir/trim.ini" >"$dir/said" 2>&1 & run=$!
wait_for '[ "$(files)" = 1 ]' "the screen cast saved nothing"
framed 600x400+200+150 "$dir/framed1.png"
sleep 3
[ "$(files)" = 1 ] || fail "an unchanged screen was saved again"
show "$dir/picture2.png"
wait_for '[ "$(files)" = 2 ]' "a changed screen was not saved"
framed 600x400+200+150 "$dir/framed2.png"
show "$dir/picture3.png" && framed 600x400+200+150 "$dir/framed3.png"
wait $run || fail "the interval ended with $?: $(cat "$dir/said")"
[ "$(files)" = 3 ] || fail "three pictures gave $(files) files"
for n in 1 2 3; do same "$dir/out/cast-00$n.png" "$dir/framed$n.png" || fail "file $n is not picture $n's frame"; done
! grep -q 'member=Screenshot' "$dir/calls" || fail "the interval asked for a screenshot"
grep -q 'member=Start' "$dir/calls" || fail "no screen cast was started"
token=$(sed -n 's/^ScreenCastToken=//p' "$dir/trim.ini") && [ -n "$token" ] || fail "no token was kept"
# A frame on an output the cast does not share: screenshots, said once.
swaymsg create_output && swaymsg 'output HEADLESS-1 pos 0 0; output HEADLESS-2 pos 1280 0 res 800x600' >/dev/null && sleep 1
sed 's/PicStartX=200/PicStartX=1400/' "$dir/trim.ini" >"$dir/beside.ini" && framed 600x400+1400+150 "$dir/framed-beside.png"
timeout 30 "$trim" --screen --every 1 --count 2 --all --name beside --format png --settings "$dir/beside.ini" >"$dir/said" 2>&1 &&
  grep -q '共有された画面の外' "$dir/said" && same "$dir/out/beside-002.png" "$dir/framed-beside.png" || fail "beside: $(cat "$dir/said")"
# Scale 2: the frame's numbers are device pixels; the last token is offered.
swaymsg 'output HEADLESS-2 disable; output HEADLESS-1 pos 0 0 scale 2' >/dev/null && sleep 1
timeout 30 "$trim" --screen --every 1 --count 1 --name scaled --format png --settings "$dir/trim.ini" >"$dir/said" 2>&1 ||
  fail "the interval at scale 2 failed: $(cat "$dir/said")"
framed 600x400+200+150 "$dir/framed-scaled.png"
same "$dir/out/scaled-001.png" "$dir/framed-scaled.png" || fail "at scale 2 the file is not the frame's device pixels"
grep -q "$token" "$dir/calls" || fail "the kept token was not offered"
# The desktop ends the sharing (its portal backend goes): said, exit 1.
timeout 30 "$trim" --screen --every 1 --name ended --format png --settings "$dir/trim.ini" >"$dir/said" 2>&1 & run=$!
wait_for '[ -e "$dir/out/ended-001.png" ]' "the last run saved nothing"
pkill -f xdg-desktop-portal-wlr
set +e; wait $run; code=$?; set -e
[ $code = 1 ] && grep -q '画面の共有が終了しました' "$dir/said" || fail "an ended sharing gave $code: $(cat "$dir/said")"
same "$dir/out/ended-001.png" "$dir/framed-scaled.png" && [ -z "$(ls -A "$dir/out" | grep '^\.')" ] ||
  fail "the file saved before the end is not whole, or a partial file was left"
echo "screen cast: all checks passed"

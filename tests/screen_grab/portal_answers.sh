#!/usr/bin/env bash
# orvelle-trim --screen against a stand-in desktop portal on a private
# session bus: a refused and a cancelled request and one that nothing
# answers end with 1 and say why, saving nothing; an answered one saves the
# framed area and removes the portal's picture from /tmp.
# A name that leaves the save folder, and a frame off the desktop, are refused.
# Run from no terminal, each outcome is also a desktop notification.
#   portal_answers.sh <orvelle-trim> <stand_in_portal> <stand_in_notifications> <picture.png>
set -euo pipefail
# A bus of its own that starts no service, so that no real portal answers.
if [ -z "${IN_BUS:-}" ]; then
  config=$(mktemp)
  trap 'rm -f "$config"' EXIT
  printf '%s\n' '<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>' \
    '<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/>' \
    '<allow own="*"/></policy></busconfig>' >"$config"
  IN_BUS=1 dbus-run-session --config-file="$config" -- "$0" "$@"
  exit
fi
trim=$1 stand_in=$2 notifications=$3 picture=$4
dir=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$dir"' EXIT
mkdir "$dir/out"
printf '[File]\nF_Path=%s\n[Data]\nPicStartX=100\nPicStartY=50\nPicWidth=300\nPicHeight=200\nNewPicStartX=0\nNewPicStartY=0\nNewPicWidth=300\nNewPicHeight=200\nPicRatio=0\n' \
  "$dir/out" >"$dir/trim.ini"
"$notifications" "$dir/told" & sleep 0.3
failed=0
expect() { # CODE TEXT [stand-in code]
  if [ -n "${3:-}" ]; then "$stand_in" "$3" "$picture" & portal=$!; sleep 0.5; fi
  set +e
  said=$(WAYLAND_DISPLAY=stand-in "$trim" --screen ${EXTRA:-} --quality 100 --settings "$dir/trim.ini" 2>&1)
  code=$?
  set -e
  [ -n "${3:-}" ] && kill $portal && wait $portal 2>/dev/null || true
  if [ "$code" != "$1" ] || ! grep -q "$2" <<<"$said"; then
    echo "FAIL: expected exit $1 and \"$2\", got $code: $said"
    failed=1
  fi
}
expect 1 '一度 Orvelle のウィンドウで Ctrl+G を押して' 2 # refused, perhaps without asking anyone
expect 1 '画面の取り込みが取り消されました' 1
expect 1 'デスクトップ ポータルが応答しません'
# A portal that never answers: Ctrl+C ends the wait at once (130), else the
# command gives up after 30 seconds.
"$stand_in" never & portal=$!
sleep 0.5
WAYLAND_DISPLAY=stand-in "$trim" --screen --settings "$dir/trim.ini" 2>"$dir/said" & run=$!
sleep 1
kill -INT $run
set +e; wait $run; code=$?; set -e
[ $code = 130 ] && grep -q '中断しました' "$dir/said" || { echo "FAIL: Ctrl+C during the wait ended with $code"; failed=1; }
expect 1 '30 秒たっても応答がありません'
kill $portal; wait $portal 2>/dev/null || true
[ -z "$(ls -A "$dir/out")" ] || { echo "FAIL: a failed grab saved a file"; failed=1; }
pictures() { find /tmp -maxdepth 1 -name 'stand-in-*.png' | wc -l; }
before=$(pictures)
expect 0 'screen-001.jpg' 0
[ "$(pictures)" = "$before" ] || { echo "FAIL: the portal's picture stayed in /tmp"; failed=1; }
# The framed area of the portal's picture, within JPEG's loss.
convert "$picture" -crop 300x200+100+50 +repage "$dir/framed.png"
error=$( (compare -metric RMSE "$dir/out/screen-001.jpg" "$dir/framed.png" null: 2>&1 || true) | sed 's/.*(\(.*\))/\1/')
awk "BEGIN { exit !($error < 0.02) }" || { echo "FAIL: screen-001.jpg is not the framed area ($error)"; failed=1; }
# Numbers taken by odd entries (a dangling link, a pipe) are passed over,
# whatever their format; as PNG, the framed area exactly; a format it does not
# know is refused (2).
ln -s nowhere "$dir/out/screen-002.png"
mkfifo "$dir/out/screen-003.jpg"
EXTRA="--format png" expect 0 'screen-004.png' 0
[ "$(compare -metric AE "$dir/out/screen-004.png" "$dir/framed.png" null: 2>&1)" = 0 ] ||
  { echo "FAIL: screen-004.png is not the framed area pixel for pixel"; failed=1; }
rm "$dir/out/screen-002.png" "$dir/out/screen-003.jpg"
EXTRA="--format gif" expect 2 'png か jpeg'
# Where the portal names programs, that is the first call, with the program's
# name; where it does not (every run above), the grab is asked for all the same.
STAND_IN_REGISTRY=1 STAND_IN_LOG="$dir/calls" expect 0 'screen-005.jpg' 0
[ "$(cat "$dir/calls")" = "$(printf 'Register io.orvelle.Orvelle\nScreenshot')" ] ||
  { echo "FAIL: the portal's calls were: $(cat "$dir/calls")"; failed=1; }
# A legal desktop larger than Qt's default decoding limit (10000 x 4000, 160 MB) is taken.
convert -size 10000x4000 xc:'#336699' "$dir/wide.png"
picture="$dir/wide.png" expect 0 'screen-006.jpg' 0
# A portal file past 512 MB is refused by its size, without reading it.
truncate -s 600M "$dir/huge.png"
STAND_IN_AS_IS=1 picture="$dir/huge.png" EXTRA="" expect 1 '大きすぎます（600 MB' 0
picture=$4
# A name with a format's mark in it stays as it is, numbered on; a number
# past 999999999 is refused with the reason, never wrapped round.
EXTRA="--name shot%1" expect 0 'shot%1-001.jpg' 0
EXTRA="--name shot%1" expect 0 'shot%1-002.jpg' 0
touch "$dir/out/big-18446744073709551615.jpg"
EXTRA="--name big" expect 1 '999999999' 0
# A base name that leaves the folder is refused (2); a frame wholly off the
# desktop saves nothing and says why (1).
EXTRA="--name ../x" expect 2 '使えない文字'
sed -i 's/PicStartX=100/PicStartX=30000/' "$dir/trim.ini"
expect 1 'トリミング枠が画像の外にあります' 0
[ ! -e "$dir/out/screen-007.jpg" ] && [ ! -e "$dir/x-001.jpg" ] && [ ! -e "$dir/out/big-000.jpg" ] &&
  [ -z "$(ls -A "$dir/out" | grep '^\.orvelle-')" ] || { echo "FAIL: a refused trim saved a file"; failed=1; }
# The screen served from files, without any display: --every saves each
# changed picture (the last one is served again after the end).
sed -i 's/PicStartX=30000/PicStartX=100/' "$dir/trim.ini"
mkdir "$dir/screens" && cp "$picture" "$dir/screens/1.png" && convert "$picture" -negate "$dir/screens/2.png"
env -u WAYLAND_DISPLAY -u DISPLAY ORVELLE_SCREEN_SOURCE="file:$dir/screens" \
  "$trim" --screen --every 1 --count 2 --format png --name files --settings "$dir/trim.ini" >/dev/null
convert "$dir/screens/2.png" -crop 300x200+100+50 +repage "$dir/framed-2.png"
[ "$(compare -metric AE "$dir/out/files-001.png" "$dir/framed.png" null: 2>&1)" = 0 ] &&
  [ "$(compare -metric AE "$dir/out/files-002.png" "$dir/framed-2.png" null: 2>&1)" = 0 ] ||
  { echo "FAIL: the files served as the screen were not trimmed in turn"; failed=1; }
# The interval on a screen cast: where the portal has none, screenshots serve
# it, said once; a refused sharing is never taken by another road (1); a
# sharing the desktop ends stops it (1) with the token kept.
EXTRA="--every 1 --count 1" STAND_IN_LOG="$dir/calls-none" expect 0 '画面キャストを使えないため' 0
grep -q '^Screenshot$' "$dir/calls-none" || { echo "FAIL: no screenshot served the interval"; failed=1; }
STAND_IN_SCREENCAST=refuse EXTRA="--every 1" STAND_IN_LOG="$dir/calls-refused" expect 1 '画面の共有が許可されませんでした' 0
[ "$(cat "$dir/calls-refused")" = "$(printf 'ScreenCast CreateSession\nScreenCast SelectSources cursor_mode=1\nScreenCast Start\nClose')" ] ||
  { echo "FAIL: a refused sharing made the calls: $(cat "$dir/calls-refused")"; failed=1; }
before=$(ls "$dir/out" | wc -l)
STAND_IN_SCREENCAST=close EXTRA="--every 1" expect 1 '画面の共有が終了しました' 0
[ "$(ls "$dir/out" | wc -l)" = "$before" ] || { echo "FAIL: an ended sharing saved a file"; failed=1; }
grep -q '^ScreenCastToken=stand-in-token$' "$dir/trim.ini" || { echo "FAIL: the token was not kept"; failed=1; }
# A copy of the command without the JPEG library beside it says so, with 2.
mkdir "$dir/bin" && cp "$trim" "$dir/bin/"
set +e
said=$(ORVELLE_SCREEN_SOURCE="file:$picture" "$dir/bin/orvelle-trim" --screen --format jpeg --settings "$dir/trim.ini" 2>&1)
code=$?
set -e
[ $code = 2 ] && grep -q 'JPEG 保存ライブラリ「.*libSaveJPG.so」がありません' <<<"$said" ||
  { echo "FAIL: without the library: $code $said"; failed=1; }
# No stored frame: said to the desktop in the user's words.
printf '[File]\nF_Path=%s\n' "$dir/out" >"$dir/trim.ini"
expect 2 'PicStartX'
for told in 'Orvelle|画面トリム：screen-001.jpg||true|5000|' '|画面トリム：保存できませんでした|トリミング枠が画像の外にあります' \
  '|画面トリム：保存できませんでした|トリミング枠が保存されていません。Orvelle で枠を決めて Ctrl+S で保存してください。|'; do
  grep -qF "$told" "$dir/told" || { echo "FAIL: no notification \"$told\" in: $(cat "$dir/told")"; failed=1; }
done
[ $failed = 0 ] && echo "the portal's answers end as they should"
exit $failed

#!/usr/bin/env bash
# Runs a command in a headless sway session (1280x1024, magenta background
# #ff00ff) as an unprivileged user (sway refuses root), with a session bus and
# a runtime folder of its own; run as root. Exit 77 when sway, wtype or grim is missing.
#   sway-session.sh COMMAND [ARGS...]
set -euo pipefail
if [ -z "${SWAY_SESSION_INNER:-}" ]; then
  command -v sway wtype grim >/dev/null || { echo "sway, wtype or grim missing: skipped"; exit 77; }
  id orvelle-test >/dev/null 2>&1 || useradd -m orvelle-test
  # The user may not reach root's folders: this script, the files named on
  # the command line and the leak suppressions go to a folder it can read.
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  cp "$0" "$stage/"
  args=()
  for arg in "$@"; do
    [ -f "$arg" ] && mkdir "$stage/${#args[@]}" && cp -p "$arg" "$stage/${#args[@]}/" && arg="$stage/${#args[@]}/${arg##*/}"
    args+=("$arg")
  done
  if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$stage/lsan.supp" && LSAN_OPTIONS="${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$stage/lsan.supp}"
  fi
  chmod -R a+rX "$stage"
  runuser -u orvelle-test -- env SWAY_SESSION_INNER=1 PATH="$PATH" HOME=/home/orvelle-test \
    ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} dbus-run-session -- "$stage/${0##*/}" "${args[@]}"
  exit
fi

export XDG_RUNTIME_DIR=$(mktemp -d) WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  XDG_CURRENT_DESKTOP=sway
unset DISPLAY WAYLAND_DISPLAY
printf '%s\n' 'output HEADLESS-1 resolution 1280x1024' 'output * bg #ff00ff solid_color' 'default_border none' \
  >"$XDG_RUNTIME_DIR/config"
sway -c "$XDG_RUNTIME_DIR/config" >"$XDG_RUNTIME_DIR/sway.log" 2>&1 &
sway=$!
trap 'kill $sway 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 100); do
  WAYLAND_DISPLAY=$(ls "$XDG_RUNTIME_DIR" | grep -m1 '^wayland-[0-9]*$' || true)
  SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null || true)
  [ -n "$WAYLAND_DISPLAY" ] && [ -n "$SWAYSOCK" ] && break
  sleep 0.1
done
[ -n "$WAYLAND_DISPLAY" ] || { cat "$XDG_RUNTIME_DIR/sway.log"; exit 1; }
export WAYLAND_DISPLAY SWAYSOCK
dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR
"$@"

#!/usr/bin/env bash
# Runs a command in a headless sway session (1280x1024, magenta background
# #ff00ff, or a picture stretched over the screen) as an unprivileged user
# (sway refuses root), with a session bus and a runtime folder of its own;
# run as root. With --portal, the desktop portal answers screenshot requests
# (through its wlroots backend, which writes /tmp/out.png) and casts the
# output without asking (PipeWire and WirePlumber carry the stream). Exit 77
# when sway, wtype, grim or (with --portal) the portal is missing.
# With --cast-proxy, the portal backend reaches sway through that program
# (screencopy_v2_proxy), without which it casts nothing on a machine
# without a GPU.
#   sway-session.sh [--portal [--cast-proxy PROXY]] [--background PICTURE] COMMAND [ARGS...]
set -euo pipefail
if [ -z "${SWAY_SESSION_INNER:-}" ]; then
  command -v sway wtype grim >/dev/null || { echo "sway, wtype or grim missing: skipped"; exit 77; }
  if [ "${1:-}" = --portal ]; then
    for p in pipewire wireplumber /usr/libexec/xdg-desktop-portal /usr/libexec/xdg-desktop-portal-wlr \
      /usr/libexec/xdg-desktop-portal-gtk; do
      command -v "$p" >/dev/null || { echo "$p missing: skipped"; exit 77; }
    done
    rm -f /tmp/out.png # the portal's picture of an earlier run, which grim could not replace
  fi
  id orvelle-test >/dev/null 2>&1 || useradd -m orvelle-test
  # The user may not reach root's folders: this script, the files named on
  # the command line (a program with the JPEG library beside it) and the leak
  # suppressions go to a folder it can read.
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  cp "$0" "$stage/"
  args=()
  for arg in "$@"; do
    if [ -f "$arg" ]; then
      mkdir "$stage/${#args[@]}"
      cp -p "$arg" "$stage/${#args[@]}/"
      [ -x "$arg" ] && [ -f "${arg%/*}/libSaveJPG.so" ] && cp -p "${arg%/*}/libSaveJPG.so" "$stage/${#args[@]}/"
      arg="$stage/${#args[@]}/${arg##*/}"
    fi
    args+=("$arg")
  done
  if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
    cp "${BASH_REMATCH[1]}" "$stage/lsan.supp" && LSAN_OPTIONS="${LSAN_OPTIONS/"${BASH_REMATCH[1]}"/$stage/lsan.supp}"
  fi
  chmod -R a+rX "$stage"
  runuser -u orvelle-test -- env SWAY_SESSION_INNER=1 PATH="$PATH" HOME=/home/orvelle-test \
    ${ASAN_OPTIONS:+ASAN_OPTIONS="$ASAN_OPTIONS"} ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} dbus-run-session -- "$stage/${0##*/}" "${args[@]}"
  exit
fi

export XDG_RUNTIME_DIR=$(mktemp -d) WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  XDG_CURRENT_DESKTOP=sway
unset DISPLAY WAYLAND_DISPLAY
portal=""
proxy=""
[ "$1" = --portal ] && portal=1 && shift
[ "$1" = --cast-proxy ] && proxy="$2" && shift 2
background='#ff00ff solid_color'
[ "$1" = --background ] && background="$2 stretch" && shift 2
printf '%s\n' 'output HEADLESS-1 resolution 1280x1024' "output * bg $background" 'default_border none' \
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
if [ -n "$portal" ]; then
  # The wlroots backend gives up without pipewire, which links a stream only
  # beside a session manager; the portal offers Screenshot only beside a
  # backend with Access (the GTK one). The screen cast shares the one output
  # without a chooser.
  pipewire >"$XDG_RUNTIME_DIR/pipewire.log" 2>&1 &
  sleep 0.3
  wireplumber >"$XDG_RUNTIME_DIR/wireplumber.log" 2>&1 &
  mkdir -p "$XDG_RUNTIME_DIR/portal-config/xdg-desktop-portal-wlr"
  printf '%s\n' '[screencast]' 'chooser_type=none' 'output_name=HEADLESS-1' \
    >"$XDG_RUNTIME_DIR/portal-config/xdg-desktop-portal-wlr/config"
  backend_display=$WAYLAND_DISPLAY
  if [ -n "$proxy" ]; then
    "$proxy" "$XDG_RUNTIME_DIR/wayland-capped" "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" &
    backend_display=wayland-capped
    for _ in $(seq 50); do [ -S "$XDG_RUNTIME_DIR/wayland-capped" ] && break; sleep 0.1; done
  fi
  WAYLAND_DISPLAY=$backend_display XDG_CONFIG_HOME="$XDG_RUNTIME_DIR/portal-config" \
    /usr/libexec/xdg-desktop-portal-wlr -l INFO >"$XDG_RUNTIME_DIR/portal-wlr.log" 2>&1 &
  sleep 1.5
  /usr/libexec/xdg-desktop-portal >"$XDG_RUNTIME_DIR/portal.log" 2>&1 &
  trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
  for _ in $(seq 100); do
    dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
      string:org.freedesktop.portal.Desktop 2>/dev/null | grep -q true && break
    sleep 0.1
  done
fi
"$@"

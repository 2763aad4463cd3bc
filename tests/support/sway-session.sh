#!/usr/bin/env bash
# Runs a command in a headless sway session, as a desktop has it: an
# unprivileged user (sway refuses root), a session bus of its own, a private
# runtime folder, a plain magenta background (#ff00ff) on a 1280x1024 output,
# and with --portal the desktop portal that answers screenshot requests.
# The command sees WAYLAND_DISPLAY, SWAYSOCK and XDG_RUNTIME_DIR; wtype, grim
# and swaymsg drive and read the session. Exit 77 when sway is not installed.
#   sway-session.sh [--portal] COMMAND [ARGS...]
set -euo pipefail
user=orvelle-test
if [ -z "${SWAY_SESSION_INNER:-}" ]; then
  command -v sway >/dev/null && command -v wtype >/dev/null && command -v grim >/dev/null ||
    { echo "sway, wtype or grim not installed: skipped"; exit 77; }
  if [ "$(id -u)" -eq 0 ]; then
    id "$user" >/dev/null 2>&1 || useradd -m "$user"
    # The user may not reach root's folders: the script, the files named on
    # the command line and the leak suppressions go to a folder it can read.
    stage=$(mktemp -d)
    chmod 755 "$stage"
    trap 'rm -rf "$stage"' EXIT
    cp "$0" "$stage/sway-session.sh"
    args=()
    for arg in "$@"; do
      if [ -f "$arg" ]; then
        mkdir -p "$stage/${#args[@]}" && cp -p "$arg" "$stage/${#args[@]}/" && chmod -R a+rX "$stage/${#args[@]}"
        arg="$stage/${#args[@]}/$(basename "$arg")"
      fi
      args+=("$arg")
    done
    if [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]]; then
      cp "${BASH_REMATCH[1]}" "$stage/lsan.supp" && chmod a+r "$stage/lsan.supp"
      LSAN_OPTIONS="${LSAN_OPTIONS/${BASH_REMATCH[1]}/$stage/lsan.supp}"
    fi
    runuser -u "$user" -- env SWAY_SESSION_INNER=1 PATH="$PATH" HOME="$(getent passwd "$user" | cut -d: -f6)" \
      ${LSAN_OPTIONS:+LSAN_OPTIONS="$LSAN_OPTIONS"} dbus-run-session -- "$stage/sway-session.sh" "${args[@]}"
    exit $?
  fi
  exec env SWAY_SESSION_INNER=1 dbus-run-session -- "$0" "$@"
fi

portal=0
[ "${1:-}" = "--portal" ] && { portal=1; shift; }
export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman XDG_CURRENT_DESKTOP=sway
unset DISPLAY WAYLAND_DISPLAY
cat >"$XDG_RUNTIME_DIR/config" <<'CONFIG'
output HEADLESS-1 resolution 1280x1024
output * bg #ff00ff solid_color
default_border none
focus_follows_mouse no
CONFIG
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; rm -rf "$XDG_RUNTIME_DIR"' EXIT
sway -c "$XDG_RUNTIME_DIR/config" >"$XDG_RUNTIME_DIR/sway.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  socket=$(ls "$XDG_RUNTIME_DIR" | grep -m1 '^wayland-[0-9]*$' || true)
  sock=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1 || true)
  [ -n "$socket" ] && [ -n "$sock" ] && break
  sleep 0.1
done
[ -n "$socket" ] || { echo "sway did not start:"; cat "$XDG_RUNTIME_DIR/sway.log"; exit 1; }
export WAYLAND_DISPLAY=$socket SWAYSOCK=$sock
dbus-update-activation-environment WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_RUNTIME_DIR
if [ $portal -eq 1 ]; then
  pipewire >"$XDG_RUNTIME_DIR/pipewire.log" 2>&1 &
  pids+=($!)
  /usr/libexec/xdg-desktop-portal-wlr >"$XDG_RUNTIME_DIR/portal-wlr.log" 2>&1 &
  pids+=($!)
  sleep 1.5
  /usr/libexec/xdg-desktop-portal >"$XDG_RUNTIME_DIR/portal.log" 2>&1 &
  pids+=($!)
  sleep 1
fi
"$@"

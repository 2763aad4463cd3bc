#!/usr/bin/env bash
# Installs the packages Orvelle needs to build, test and run its demo on
# Debian/Ubuntu. Does nothing when everything is already there.
set -euo pipefail

# Needed to build, test and run.
packages=(
  cmake make g++ libgtest-dev qt6-base-dev libxcb1-dev zlib1g-dev
  libturbojpeg0-dev libjpeg62-turbo-dev libjpeg-turbo-progs libisal-dev
  xvfb xauth xclip xdotool x11-utils imagemagick fonts-ipafont-gothic
  qt6-wayland libwayland-dev libwayland-bin libspng-dev locales qt6-translations-l10n openbox
  dpkg-dev desktop-file-utils appstream file lintian dbus-daemon dbus-user-session
  sway wtype grim wl-clipboard weston
  libpipewire-0.3-dev pipewire wireplumber xdg-desktop-portal xdg-desktop-portal-wlr xdg-desktop-portal-gtk
)
# Used by make test when present: the format check, the fuzzers, the Wayland
# session's background, and the benchmarks' libvips, maim and optipng. (The
# Wayland compositors themselves, sway driven with wtype and read with grim
# and weston, are needed: the clipboard's checks run in them; so are its
# desktop portal, PipeWire and WirePlumber, which the screen cast's run on.)
optional=(clang clang-format libclang-rt-dev swaybg libvips-tools libvips-dev maim optipng)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
missing_optional=()
for p in "${optional[@]}"; do installed "$p" || missing_optional+=("$p"); done
# The tests type numbers under a comma-decimal locale too.
has_locale() { locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; }
[ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && has_locale && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ] || [ ${#missing_optional[@]} -gt 0 ]; then
  $sudo apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
for p in "${missing_optional[@]}"; do
  $sudo apt-get install -y -qq --no-install-recommends "$p" || echo "optional package $p not installed"
done
if ! has_locale; then
  $sudo sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

#!/usr/bin/env bash
# Installs the packages Orvelle needs to build, test and run its demo on Debian/Ubuntu.
# Does nothing when everything is already there.
set -euo pipefail

packages=(
  cmake make g++ clang clang-format libgtest-dev qt6-base-dev
  libturbojpeg0-dev libjpeg-turbo-progs
  xvfb xauth xclip xdotool x11-utils imagemagick fonts-ipafont-gothic
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

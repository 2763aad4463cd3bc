#!/usr/bin/env bash
# Builds the Debian package, checks its desktop entry, metainfo and
# dependencies, then unpacks it and drives the unpacked program under Xvfb:
# capture, trim and JPEG saves with the library from its installed place.
#   check.sh <build folder> <screen image.png>
set -euo pipefail
(cd "$1" && cpack -G DEB >/dev/null)
deb=$(ls "$1"/orvelle_*.deb)
root=$(mktemp -d)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/io.orvelle.Orvelle.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.orvelle.Orvelle.metainfo.xml"
dpkg-deb -f "$deb" Depends | tee /dev/stderr | grep 'libqt6widgets6' | grep -q 'libturbojpeg0'
[ -n "$(find "$root/usr/lib" -name libSaveJPG.so)" ] && [ ! -e "$root/usr/bin/libSaveJPG.so" ]
chmod a-w "$root/usr/bin" # an installed program cannot write beside itself
dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  "$1/bin/orvelle_drive" --installed "$root/usr/bin/orvelle" "$2" "$root/run"

#!/usr/bin/env bash
# Builds the Debian package, checks its desktop entry, metainfo and
# dependencies, then unpacks it and drives the unpacked program under Xvfb:
# capture, trim and JPEG saves with the library from its installed place.
#   check.sh <build folder> <screen image.png>
set -euo pipefail
build="$1"
sample="$2"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/orvelle_*.deb)
root=$(mktemp -d)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/io.orvelle.Orvelle.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/io.orvelle.Orvelle.metainfo.xml"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
grep -q 'libqt6widgets6' <<<"$depends" && grep -q 'libturbojpeg0' <<<"$depends"
library=$(find "$root/usr/lib" -name libSaveJPG.so)
[ -n "$library" ] && [ ! -e "$root/usr/bin/libSaveJPG.so" ]
chmod a-w "$root/usr/bin" # an installed program cannot write beside itself
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  "$build/bin/orvelle_drive" --installed "$root/usr/bin/orvelle" "$sample" "$root/run"

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
# The Debian package's own rules: no error and no warning (lintian refuses to
# run as root without --allow-root); the manual pages are there.
lintian --allow-root --fail-on error,warning "$deb"
# Built with the distribution's hardening (stack protector, fortified calls, relro, bind now).
! lintian --allow-root -I "$deb" | grep hardening-
[ -f "$root/usr/share/man/man1/orvelle.1.gz" ] && [ -f "$root/usr/share/man/man1/orvelle-trim.1.gz" ]
[ -f "$root/usr/share/doc/orvelle/copyright" ] && [ -f "$root/usr/share/doc/orvelle/changelog.gz" ]
! dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -q -E 'postinst|postrm' # no ldconfig for a private library
dpkg-deb -f "$deb" Depends | tee /dev/stderr | grep 'libqt6widgets6' | grep 'qt6-translations-l10n' | grep 'libturbojpeg0' | grep -q 'libpipewire-0.3-0'
[ -n "$(find "$root/usr/lib" -name libSaveJPG.so)" ] && [ ! -e "$root/usr/bin/libSaveJPG.so" ]
# An installed program writes nothing beside itself, even where it could (root).
dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  "$1/bin/orvelle_drive" --installed "$root/usr/bin/orvelle" "$2" "$root/run"
[ "$(ls "$root/usr/bin" | tr '\n' ' ')" = "orvelle orvelle-trim " ] # nothing written beside the program
[ -f "$root/run/cache/Orvelle/Orvelle/default.bmp" ] && [ -f "$root/run/config/Orvelle/Orvelle/trim.ini" ]
[ ! -e "$root/run/config/Orvelle/Orvelle/default.bmp" ]
echo "package: checked"

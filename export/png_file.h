#pragma once

#include <QImage>
#include <QString>

namespace orvelle {

// Writes the picture as a PNG file of 8-bit RGB without alpha (every picture
// saved is opaque) and without colour profile, gamma or other metadata, so
// that it holds the picture's pixels exactly. As the JPEG library does: to a
// hidden temporary file beside the target, flushed to the disk and renamed
// over it, with the permissions the umask gives a new file; an existing file
// that may not be written (or whose owner may not) is never replaced.
// Returns the JPEG library's codes: SAVEJPG_OK, SAVEJPG_E_SOURCE (no
// picture), SAVEJPG_E_ENCODE, SAVEJPG_E_TARGET (errno tells why, ENOSPC for a
// full disk), SAVEJPG_E_READONLY.
int SavePng(const QImage &picture, const QString &path);

} // namespace orvelle

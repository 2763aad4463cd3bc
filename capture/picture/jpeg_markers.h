#pragma once

#include "common/expected.h"

#include <QtGlobal>

namespace orvelle {

// The most scans a JPEG may have: real encoders write a few dozen at most,
// and every further scan costs the decoder a pass over the whole picture.
inline constexpr int kMaxJpegScans = 100;
// The most bytes of comments and application data (Exif, XMP, colour
// profiles) a JPEG may carry: the decoder keeps them all in memory.
inline constexpr qint64 kMaxJpegMetadataBytes = qint64(16) << 20;

// Walks a JPEG's markers from the file's current position to the end of its
// first picture, through a small buffer (whatever follows that picture, such
// as a video appended by a phone, is never read). Done when the picture is
// whole and within the limits above; else why not.
Expected<void> CheckJpegStructure(int fd);

} // namespace orvelle

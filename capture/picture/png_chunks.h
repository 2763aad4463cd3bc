#pragma once

#include "common/expected.h"

#include <QByteArrayView>

namespace orvelle {

// The most bytes of chunks other than the picture's own (text, profiles and
// other metadata) a PNG may carry: a decoder keeps them in memory.
inline constexpr qint64 kMaxPngMetadataBytes = qint64(16) << 20;

// Walks a PNG's chunks from its signature to its end chunk by their lengths,
// looking only at their 8-byte heads, before a decoder that allocates what a
// chunk's length says is given the picture. Done when every chunk lies inside
// the file and the metadata stays within the limit; else why not. From a
// file (its descriptor and size) or from bytes in memory.
Expected<void> CheckPngStructure(int fd, qint64 fileSize);
Expected<void> CheckPngBytes(QByteArrayView bytes);

} // namespace orvelle

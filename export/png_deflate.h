#pragma once

#include <QImage>
#include <vector>

namespace orvelle {

// The zlib stream of a PNG's picture data for an opaque RGB32 picture: each
// row as 8-bit RGB under the "up" filter, deflated at this zlib level in
// bands of rows on every core, each band with the 32 KB before it as its
// dictionary, so that the stream is as small as one deflated in one piece.
// Empty when memory is short.
std::vector<unsigned char> DeflateUpFiltered(const QImage &pixels, int level);

} // namespace orvelle

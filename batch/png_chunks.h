#pragma once

#include <QString>

namespace orvelle {

// Walks a PNG's chunks from its signature to its end chunk by their lengths,
// reading only their 8-byte heads (the data is skipped), before a decoder
// that allocates what a chunk's length says is given the file. Empty when
// every chunk lies inside the file and the chunks other than the picture's
// own (text, profiles and other metadata) hold at most the JPEG's metadata
// limit; else why not, in Japanese.
QString CheckPngStructure(int fd, qint64 fileSize);

} // namespace orvelle

#pragma once

#include <cstddef>
#include <memory>

namespace savejpg {

// An uncompressed bitmap's rows as the encoder takes them: 24- and 32-bit
// rows of the common layouts as they lie in the file, every other kind
// (palettes of 1, 4 and 8 bits, 32-bit bit fields) turned into 32-bit rows.
struct Bitmap {
  std::unique_ptr<unsigned char[]> bytes;     // the file, read whole
  std::unique_ptr<unsigned char[]> converted; // rows made from it, where they had to be
  std::size_t size = 0;
  const unsigned char *rows = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  int pixelFormat = -1; // a TurboJPEG pixel format
  bool bottomUp = true;
};

// Reads a 1-, 4-, 8-, 24- or 32-bit uncompressed bitmap (32-bit also with bit
// fields, in any of the headers of 40 bytes or more). Checks the header
// against the file's size: at most 65535 pixels a side and all of its rows in
// the file, so that no header can make the reader allocate or read more than
// the file holds, and only a regular file is read (a pipe is never waited
// on). False for anything else.
bool ReadBitmap(const char *path, Bitmap &bmp);

} // namespace savejpg

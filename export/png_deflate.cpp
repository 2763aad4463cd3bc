#include "export/png_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace orvelle {

namespace {

constexpr std::size_t kWindow = 32768; // what deflate may look back at
constexpr int kBandRows = 48;          // rows compressed as one piece

// One row as the "up" filter gives it: the filter's number, then each byte
// less the byte above it (the first row as it is).
void FilterRow(const QImage &pixels, int y, unsigned char *out) {
  out[0] = 2; // up
  const auto *row = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
  const auto *above = y > 0 ? reinterpret_cast<const QRgb *>(pixels.constScanLine(y - 1)) : nullptr;
  unsigned char *o = out + 1;
  for (int x = 0; x < pixels.width(); ++x, o += 3) {
    const QRgb p = row[x], q = above != nullptr ? above[x] : 0;
    o[0] = static_cast<unsigned char>(qRed(p) - qRed(q));
    o[1] = static_cast<unsigned char>(qGreen(p) - qGreen(q));
    o[2] = static_cast<unsigned char>(qBlue(p) - qBlue(q));
  }
}

// One band of rows, filtered and deflated on its own with the 32 KB before it
// as its dictionary (so that it compresses as it would in one stream), ended
// on a byte boundary; the last band ends the stream. Its adler-32 and length
// for the whole stream's check value.
struct Band {
  std::vector<unsigned char> deflated;
  uLong adler = 1;
  std::size_t length = 0;
  bool ok = false;
};

Band DeflateBand(const QImage &pixels, int first, int last, int level) {
  const std::size_t rowBytes = 1 + std::size_t(pixels.width()) * 3;
  // The rows before the band that its dictionary needs, then the band's own.
  const int before = std::min<int>(first, int((kWindow + rowBytes - 1) / rowBytes));
  std::vector<unsigned char> filtered(rowBytes * std::size_t(last - first + before));
  for (int y = first - before; y < last; ++y) {
    FilterRow(pixels, y, filtered.data() + rowBytes * std::size_t(y - first + before));
  }
  const unsigned char *own = filtered.data() + rowBytes * std::size_t(before);
  Band band;
  band.length = rowBytes * std::size_t(last - first);
  band.adler = adler32(1, own, uInt(band.length));
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
    return band;
  }
  const std::size_t dictionary = std::min(kWindow, rowBytes * std::size_t(before));
  if (dictionary > 0) {
    deflateSetDictionary(&z, own - dictionary, uInt(dictionary));
  }
  band.deflated.resize(deflateBound(&z, uLong(band.length)) + 16);
  z.next_in = const_cast<unsigned char *>(own);
  z.avail_in = uInt(band.length);
  z.next_out = band.deflated.data();
  z.avail_out = uInt(band.deflated.size());
  const bool end = last == pixels.height();
  const int done = deflate(&z, end ? Z_FINISH : Z_SYNC_FLUSH);
  band.ok = end ? done == Z_STREAM_END : done == Z_OK && z.avail_in == 0;
  band.deflated.resize(z.total_out);
  deflateEnd(&z);
  return band;
}

} // namespace

std::vector<unsigned char> DeflateUpFiltered(const QImage &pixels, int level) {
  const int bands = (pixels.height() + kBandRows - 1) / kBandRows;
  std::vector<Band> done(std::size_t(bands > 0 ? bands : 0));
  std::atomic<int> next{0};
  const auto work = [&] {
    for (int b = next++; b < bands; b = next++) {
      done[std::size_t(b)] = DeflateBand(pixels, b * kBandRows, std::min(pixels.height(), (b + 1) * kBandRows), level);
    }
  };
  const int threads = std::clamp(int(std::thread::hardware_concurrency()), 1, std::max(1, bands));
  std::vector<std::thread> helpers;
  for (int t = 1; t < threads; ++t) {
    helpers.emplace_back(work);
  }
  work();
  for (std::thread &helper : helpers) {
    helper.join();
  }
  // The zlib stream: its header, the bands in order, the adler-32 of all.
  std::vector<unsigned char> stream = {0x78, 0x5E};
  uLong adler = 1;
  for (const Band &band : done) {
    if (!band.ok) {
      return {};
    }
    stream.insert(stream.end(), band.deflated.begin(), band.deflated.end());
    adler = adler32_combine(adler, band.adler, z_off_t(band.length));
  }
  for (int shift = 24; shift >= 0; shift -= 8) {
    stream.push_back(static_cast<unsigned char>(adler >> shift));
  }
  return stream;
}

} // namespace orvelle

#include "batch/region_reader.h"

#include "capture/picture_box.h"

#include <QFile>
#include <QImageReader>
#include <cstdio>
#include <memory>
#include <spng.h>
#include <vector>

namespace orvelle {

namespace {

const QString kNotAnImage = QStringLiteral("画像として読み込めないか、壊れています");

std::optional<QString> TooLarge(QSize size) {
  const qint64 bytes = qint64(size.width()) * size.height() * 4;
  if (bytes > qint64(QImageReader::allocationLimit()) * 1024 * 1024) {
    return QStringLiteral("画像が大きすぎます（%1×%2）").arg(size.width()).arg(size.height());
  }
  return std::nullopt;
}

struct SpngContext {
  spng_ctx *ctx = spng_ctx_new(0);
  FILE *file = nullptr;
  ~SpngContext() {
    spng_ctx_free(ctx);
    if (file != nullptr) {
      std::fclose(file);
    }
  }
};

// A non-interlaced PNG, row by row, stopping after the area's last row.
std::optional<std::variant<Region, QString>> ReadPngRows(const QString &path,
                                                         const std::function<QRect(QSize)> &choose) {
  SpngContext png;
  png.file = std::fopen(QFile::encodeName(path).constData(), "rb");
  if (png.ctx == nullptr || png.file == nullptr) {
    return kNotAnImage;
  }
  // No chunk may make the decoder hold more than a few megabytes.
  spng_set_chunk_limits(png.ctx, 1 << 22, 1 << 24);
  spng_ihdr ihdr{};
  if (spng_set_png_file(png.ctx, png.file) != 0 || spng_get_ihdr(png.ctx, &ihdr) != 0 || ihdr.width > INT32_MAX ||
      ihdr.height > INT32_MAX) {
    return kNotAnImage;
  }
  if (ihdr.interlace_method != SPNG_INTERLACE_NONE) {
    return std::nullopt; // its rows come in passes: the whole image is needed
  }
  Region region;
  region.imageSize = QSize(int(ihdr.width), int(ihdr.height));
  if (const auto large = TooLarge(region.imageSize)) {
    return *large;
  }
  region.area = choose(region.imageSize) & QRect(QPoint(0, 0), region.imageSize);
  if (region.area.isEmpty()) {
    return region;
  }
  if (spng_decode_image(png.ctx, nullptr, 0, SPNG_FMT_RGBA8, SPNG_DECODE_PROGRESSIVE) != 0) {
    return kNotAnImage;
  }
  region.pixels = QImage(region.area.size(), QImage::Format_RGB32);
  std::vector<unsigned char> row(std::size_t(ihdr.width) * 4);
  for (int y = 0; y <= region.area.bottom(); ++y) {
    const int result = spng_decode_row(png.ctx, row.data(), row.size());
    if (result != 0 && !(result == SPNG_EOI && y + 1 == region.imageSize.height())) {
      return QStringLiteral("画像が途中で切れているか、壊れています");
    }
    if (y >= region.area.top()) {
      auto *out = reinterpret_cast<QRgb *>(region.pixels.scanLine(y - region.area.top()));
      const unsigned char *in = row.data() + std::size_t(region.area.left()) * 4;
      for (int x = 0; x < region.area.width(); ++x, in += 4) {
        out[x] = qRgb(in[0], in[1], in[2]);
      }
    }
  }
  return region;
}

// Whether a JPEG file holds its whole picture: its last scan is closed by an
// end-of-image marker (a thumbnail's markers come before the picture's scan).
bool EndsLikeJpeg(const QString &path) {
  QFile file(path);
  const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  return bytes.lastIndexOf("\xff\xd9") > bytes.lastIndexOf("\xff\xda");
}

} // namespace

std::variant<Region, QString> ReadRegion(const QString &path, const std::function<QRect(QSize)> &choose) {
  QImageReader reader(path);
  reader.setAutoTransform(false);
  if (reader.format() == "png") {
    if (auto read = ReadPngRows(path, choose)) {
      return *read;
    }
  }
  Region region;
  region.imageSize = reader.size();
  if (!reader.canRead() || !region.imageSize.isValid()) {
    return kNotAnImage;
  }
  if (const auto large = TooLarge(region.imageSize)) {
    return *large;
  }
  if (reader.format() == "jpeg" && !EndsLikeJpeg(path)) {
    return QStringLiteral("画像が途中で切れているか、壊れています");
  }
  region.area = choose(region.imageSize) & QRect(QPoint(0, 0), region.imageSize);
  if (region.area.isEmpty()) {
    return region;
  }
  reader.setClipRect(region.area);
  const QImage image = reader.read();
  if (image.size() != region.area.size()) {
    return kNotAnImage;
  }
  region.pixels = OpaquePicture(image);
  return region;
}

} // namespace orvelle

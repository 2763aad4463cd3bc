#include "capture/picture/region_reader.h"

#include "capture/picture/jpeg_markers.h"
#include "capture/picture/jpeg_region.h"
#include "capture/picture/picture_pixels.h"
#include "capture/picture/png_chunks.h"
#include "capture/picture/png_rows.h"
#include "common/memory_budget.h"
#include "common/regular_file.h"

#include <QFile>
#include <QImageReader>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <spng.h>
#include <unistd.h>
#include <vector>

namespace orvelle {

namespace {

const Problem kNotAnImage = MakeProblem(ProblemKind::NotAnImage);
const Problem kCutShort = MakeProblem(ProblemKind::CutShort);
const Problem kOutOfMemory = MakeProblem(ProblemKind::OutOfMemory);
const Problem kChunksTooLarge = MakeProblem(ProblemKind::ChunksTooLarge);

// Qt's JPEG reader passes the decoder's warnings on only as log messages of
// its own category: corrupt data that the decoder fills in with grey, such as
// a picture cut short before its end marker, reads as a whole picture. They
// are counted for the thread that decodes, so that such a picture fails.
thread_local int t_jpegWarnings = 0;
QtMessageHandler g_otherMessages = nullptr;

void CountJpegWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message) {
  if (context.category != nullptr && std::strcmp(context.category, "qt.gui.imageio.jpeg") == 0) {
    ++t_jpegWarnings;
    return;
  }
  if (g_otherMessages != nullptr) {
    g_otherMessages(type, context, message);
  }
}

void WatchJpegWarnings() {
  static std::once_flag once;
  std::call_once(once, [] { g_otherMessages = qInstallMessageHandler(CountJpegWarnings); });
}

// Reads exactly `length` bytes for the PNG decoder.
int ReadFromFd(spng_ctx *, void *user, void *dest, size_t length) {
  const int fd = *static_cast<int *>(user);
  auto *out = static_cast<char *>(dest);
  while (length > 0) {
    const ssize_t n = ::read(fd, out, length);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return n == 0 ? SPNG_IO_EOF : SPNG_IO_ERROR;
    }
    out += n;
    length -= std::size_t(n);
  }
  return 0;
}

using SpngContext = std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)>;

// A non-interlaced PNG, row by row, stopping after the area's last row;
// nothing when the PNG is interlaced (its rows come in passes).
std::optional<Expected<Region>> ReadPngRows(int fd, const std::function<QRect(QSize)> &choose, qint64 budget,
                                            const std::atomic<bool> *stop) {
  SpngContext png(spng_ctx_new(0), spng_ctx_free);
  if (png == nullptr) {
    return kOutOfMemory;
  }
  // No chunk may make the decoder hold more than a few megabytes.
  spng_set_chunk_limits(png.get(), 1 << 22, 1 << 24);
  spng_ihdr ihdr{};
  if (spng_set_png_stream(png.get(), ReadFromFd, &fd) != 0 || spng_get_ihdr(png.get(), &ihdr) != 0 ||
      ihdr.width > INT32_MAX || ihdr.height > INT32_MAX) {
    return kNotAnImage;
  }
  if (ihdr.interlace_method != SPNG_INTERLACE_NONE) {
    return std::nullopt;
  }
  Region region;
  region.imageSize = QSize(int(ihdr.width), int(ihdr.height));
  region.area = choose(region.imageSize) & QRect(QPoint(0, 0), region.imageSize);
  if (region.area.isEmpty()) {
    return region;
  }
  // Our row, the decoder's rows (up to 8 bytes a pixel, the previous row
  // kept for unfiltering) and the area.
  const qint64 held =
      AddBytes(PictureBytes(ihdr.width, 1 + 2 * 2), PictureBytes(region.area.width(), region.area.height()));
  if (held > budget) {
    return TooLargeProblem(region.imageSize);
  }
  const int decoded = spng_decode_image(png.get(), nullptr, 0, SPNG_FMT_RGBA8, SPNG_DECODE_PROGRESSIVE);
  if (decoded == SPNG_ECHUNK_LIMITS) {
    return kChunksTooLarge;
  }
  if (decoded != 0) {
    return kNotAnImage;
  }
  region.pixels = QImage(region.area.size(), QImage::Format_RGB32);
  if (region.pixels.isNull()) {
    return kOutOfMemory;
  }
  std::vector<unsigned char> row(std::size_t(ihdr.width) * 4);
  for (int y = 0; y <= region.area.bottom(); ++y) {
    if (stop != nullptr && stop->load(std::memory_order_relaxed)) {
      return MakeProblem(ProblemKind::Interrupted);
    }
    const int result = spng_decode_row(png.get(), row.data(), row.size());
    if (result != 0 && !(result == SPNG_EOI && y + 1 == region.imageSize.height())) {
      return result == SPNG_ECHUNK_LIMITS ? kChunksTooLarge : kCutShort;
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

std::uint32_t U32(const unsigned char *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24); }

// Whether an uncompressed bitmap holds all the rows its header declares.
bool BitmapIsWhole(int fd, qint64 fileSize) {
  std::array<unsigned char, 34> header{};
  if (::pread(fd, header.data(), header.size(), 0) != ssize_t(header.size())) {
    return false;
  }
  const std::uint32_t compression = U32(&header[30]);
  const std::uint32_t infoSize = U32(&header[14]);
  if (infoSize < 40 || (compression != 0 && compression != 3)) {
    return true; // coded rows: Qt's reader finds their end itself
  }
  const qint64 width = std::int32_t(U32(&header[18]));
  const qint64 height = std::int32_t(U32(&header[22]));
  const qint64 bits = header[28] | (header[29] << 8);
  const qint64 pitch = (width * bits + 31) / 32 * 4;
  const qint64 rows = height < 0 ? -height : height;
  return width > 0 && pitch > 0 && rows <= (fileSize - U32(&header[10])) / pitch;
}

} // namespace

Expected<Region> ReadRegion(const QString &path, const std::function<QRect(QSize)> &choose, qint64 budget,
                            const std::atomic<bool> *stop) {
  const Expected<RegularFile> opened = OpenRegularFile(path);
  if (!opened) {
    return opened.problem();
  }
  const RegularFile &file = *opened;
  QByteArray format;
  {
    QFile device;
    if (!device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
      return kNotAnImage;
    }
    format = QImageReader::imageFormat(&device);
  }
  ::lseek(file.fd(), 0, SEEK_SET);
  if (format == "png") {
    if (auto read = ReadPngRegion(file.fd(), choose, budget, stop)) {
      return *read;
    }
    ::lseek(file.fd(), 0, SEEK_SET); // another form: libspng takes it
    if (auto read = ReadPngRows(file.fd(), choose, budget, stop)) {
      return *read;
    }
    // Qt's reader takes the rest; it would allocate what any chunk's length says.
    ::lseek(file.fd(), 0, SEEK_SET);
    if (Expected<void> whole = CheckPngStructure(file.fd(), file.size()); !whole) {
      return whole.problem();
    }
    ::lseek(file.fd(), 0, SEEK_SET);
  }
  if (format == "jpeg") {
    if (Expected<void> whole = CheckJpegStructure(file.fd()); !whole) {
      return whole.problem();
    }
    ::lseek(file.fd(), 0, SEEK_SET);
    if (const auto read = ReadJpegRegion(file.fd(), choose, budget, stop)) {
      return *read;
    }
    ::lseek(file.fd(), 0, SEEK_SET); // CMYK: Qt's reader converts it
  }
  if (format == "bmp" && !BitmapIsWhole(file.fd(), file.size())) {
    return kCutShort;
  }
  QFile device;
  if (!device.open(file.fd(), QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
    return kNotAnImage;
  }
  QImageReader reader(&device, format);
  reader.setAutoTransform(false);
  if (!reader.canRead()) {
    return kNotAnImage;
  }
  const QSize declared = reader.size();
  const auto read = [&reader] {
    QImage image = reader.read();
    return image.isNull() ? Expected<QImage>(reader.error() == QImageReader::InvalidDataError ? kCutShort : kNotAnImage)
                          : Expected<QImage>(image);
  };
  // Qt's JPEG reader (for CMYK pictures) keeps only the part it is asked for.
  if (format == "jpeg" && declared.isValid()) {
    Region region{declared, choose(declared) & QRect(QPoint(0, 0), declared), {}};
    if (AddBytes(PictureBytes(declared.width(), 1), PictureBytes(region.area.width(), region.area.height())) > budget) {
      return TooLargeProblem(declared);
    }
    if (region.area.isEmpty()) {
      return region;
    }
    reader.setClipRect(region.area);
    WatchJpegWarnings();
    const int warnings = t_jpegWarnings;
    const Expected<QImage> image = read();
    if (!image) {
      return image.problem();
    }
    if (image->size() != region.area.size() || t_jpegWarnings != warnings) {
      return kCutShort;
    }
    region.pixels = OpaquePicture(*image);
    return region;
  }
  // The others decode the whole picture, within Qt's own allocation limit.
  const qint64 whole = PictureBytes(declared.width(), declared.height());
  if (whole > budget || whole > qint64(QImageReader::allocationLimit()) << 20) {
    return TooLargeProblem(declared);
  }
  const Expected<QImage> image = read();
  if (!image) {
    return image.problem();
  }
  const QImage &picture = *image;
  Region region{picture.size(), choose(picture.size()) & picture.rect(), {}};
  if (AddBytes(PictureBytes(picture.width(), picture.height()),
               PictureBytes(region.area.width(), region.area.height())) > budget) {
    return TooLargeProblem(picture.size());
  }
  if (!region.area.isEmpty()) {
    region.pixels = OpaquePicture(picture.copy(region.area));
  }
  return region;
}

} // namespace orvelle

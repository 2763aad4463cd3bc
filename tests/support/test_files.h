#pragma once

#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QtEndian>
#include <csignal>
#include <sys/resource.h>

// Small helpers the tests share: whole files and picture comparison.
namespace orvelle::testing {

inline QByteArray ReadFile(const QString &path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool WriteFile(const QString &path, const QByteArray &bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The mean difference of two pictures per colour channel (0 to 255); very
// large when their sizes differ.
inline double MeanDifference(const QImage &a, const QImage &b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int row = 0; row < x.height() && x.size() == y.size(); ++row) {
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
    }
  }
  return x.size() != y.size() || x.isNull() ? 1e9 : sum / (3.0 * x.width() * x.height());
}

// Puts the bytes of an image file on the clipboard, as another program does;
// a JPEG whose header declares this size (its picture is not there).
inline void PutFileOnClipboard(const QString &mimeType, const QByteArray &bytes) {
  auto *data = new QMimeData;
  data->setData(mimeType, bytes);
  QGuiApplication::clipboard()->setMimeData(data);
}
inline QByteArray JpegDeclaring(QSize size) {
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  QImage(16, 16, QImage::Format_RGB32).save(&buffer, "JPEG");
  const qsizetype frame = jpeg.indexOf("\xff\xc0");
  qToBigEndian<quint16>(quint16(size.height()), jpeg.data() + frame + 5);
  qToBigEndian<quint16>(quint16(size.width()), jpeg.data() + frame + 7);
  return jpeg;
}

// Runs the work as if the disk were full after so many bytes of any file.
template <typename Work> auto WithDiskFullAfter(rlim_t bytes, Work work) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = bytes;
  setrlimit(RLIMIT_FSIZE, &small);
  const auto result = work();
  setrlimit(RLIMIT_FSIZE, &old);
  return result;
}

} // namespace orvelle::testing

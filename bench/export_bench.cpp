// Saving a 3840 x 2160 screenshot-like picture as JPEG: the whole original
// save (bitmap + SavetoJPEG) beside Qt's own JPEG writer, and the library as a
// process beside cjpeg and ImageMagick on the same bitmap.

#include "bench/bench_util.h"
#include "resources/tools/synthetic_screen.h"

#include "export/bmp_file.h"
#include "export/jpeg_export.h"
#include "export/jpeg_library.h"
#include "export/png_file.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace orvelle;

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  const int quality = 50;
  const QImage image = tools::SyntheticScreen({3840, 2160});
  QTemporaryDir dir;
  const QString bin = QCoreApplication::applicationDirPath();
  const JpegJob job{QStringLiteral("bench"), quality, dir.path(), bin + QLatin1Char('/') + kJpegLibraryFileName};

  std::printf("JPEG export of a 3840x2160 screenshot-like picture at quality %d:\n", quality);
  const double original = bench::MedianMs(7, [&] { (void)SaveOriginalJpeg(job, dir.path(), image); });
  const double qt = bench::MedianMs(7, [&] { image.save(dir.filePath(QStringLiteral("qt.jpg")), "JPEG", quality); });
  bench::Report("SaveOriginalJpeg (bitmap + SavetoJPEG)", original, "QImage::save as JPEG", qt, "1.5 or less");
  const double bmp = bench::MedianMs(7, [&] { SaveBmp(image, dir.filePath(QStringLiteral("hop.bmp"))); });
  std::printf("  of which the bitmap hop: %.3f ms\n", bmp);

  // PNG, written by the program, beside Qt's PNG writer (conversion from the
  // picture's format included), on the synthetic screen and on the sample
  // screenshot scaled to 4K; the size beside Qt's file and optipng -o1's.
  const QImage sample = QImage(QStringLiteral(ORVELLE_SOURCE_DIR "/demo/sample-screen.png"))
                            .scaled(3840, 2160, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  for (const auto &[name, picture] : {std::pair{"synthetic screen", image}, {"sample screenshot", sample}}) {
    const QString ours = dir.filePath(QStringLiteral("ours.png")), theirs = dir.filePath(QStringLiteral("qt.png"));
    const double png = bench::MedianMs(5, [&] { SavePng(picture, ours); });
    const double qtPng = bench::MedianMs(5, [&] { picture.save(theirs, "PNG"); });
    std::printf("PNG of the %s (%lld bytes, Qt's %lld):\n", name, QFileInfo(ours).size(), QFileInfo(theirs).size());
    bench::Report("SavePng", png, "QImage::save as PNG", qtPng, "0.5 or less");
    std::printf("  file size: %.3f of Qt's (goal: 1.1 or less)",
                double(QFileInfo(ours).size()) / QFileInfo(theirs).size());
    const QString optimized = dir.filePath(QStringLiteral("optipng.png"));
    if (QFile::exists(QStringLiteral("/usr/bin/optipng")) &&
        bench::RunProcess(QStringLiteral("/usr/bin/optipng"), {"-quiet", "-o1", "-out", optimized, theirs})) {
      std::printf(", %.3f of optipng -o1's\n", double(QFileInfo(ours).size()) / QFileInfo(optimized).size());
      QFile::remove(optimized);
    } else {
      std::printf(" (optipng not found: package optipng)\n");
    }
  }

  const QString source = dir.filePath(QStringLiteral("default-org.bmp"));
  const QString out = dir.filePath(QStringLiteral("out.jpg"));
  const QString q = QString::number(quality);
  const double ours = bench::MedianMs(7, [&] {
    bench::RunProcess(bin + QStringLiteral("/savetojpeg"), {source, out, q});
  });
  if (QFile::exists(QStringLiteral("/usr/bin/cjpeg"))) {
    // cjpeg at the same quality with its default 4:2:0, which the library also
    // uses below quality 80.
    const double cjpeg = bench::MedianMs(7, [&] {
      bench::RunProcess(QStringLiteral("/usr/bin/cjpeg"),
                        {QStringLiteral("-quality"), q, QStringLiteral("-outfile"), out, source});
    });
    bench::Report("savetojpeg process (the library)", ours, "cjpeg process", cjpeg, "1.0 or less");
  } else {
    std::printf("cjpeg not found (package libjpeg-turbo-progs)\n");
  }
  if (QFile::exists(QStringLiteral("/usr/bin/convert"))) {
    const double magick = bench::MedianMs(5, [&] {
      bench::RunProcess(QStringLiteral("/usr/bin/convert"), {source, QStringLiteral("-quality"), q, out});
    });
    bench::Report("savetojpeg process (the library)", ours, "ImageMagick convert process", magick, "0.33 or less");
  } else {
    std::printf("/usr/bin/convert not found (package imagemagick)\n");
  }
  return 0;
}

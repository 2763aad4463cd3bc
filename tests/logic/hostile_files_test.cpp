// Files that are hostile, huge or broken. orvelle-trim on a folder of them:
// each ends promptly with its true reason and within the memory budget, and
// the good files beside them are saved. The JPEG library on bitmaps it does
// not write itself, and on failures that must leave nothing behind.

#include "batch/partial_files.h"
#include "capture/picture/region_reader.h"
#include "common/batch_workers.h"
#include "savejpg/SaveJPG.h"
#include "tests/support/test_files.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImageWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

namespace orvelle {

namespace {

QByteArray Be32(quint32 v) {
  v = qToBigEndian(v);
  return QByteArray(reinterpret_cast<const char *>(&v), 4);
}

// A PNG of this declared size (grey, or of the colour type given) whose rows are the given zlib stream.
QByteArray GreyPng(quint32 width, quint32 height, const QByteArray &rows, char colour = 0) {
  const auto chunk = [](const char *type, const QByteArray &data) {
    const QByteArray body = type + data;
    return Be32(data.size()) + body + Be32(crc32(0, reinterpret_cast<const Bytef *>(body.data()), uInt(body.size())));
  };
  return QByteArray("\x89PNG\r\n\x1a\n", 8) +
         chunk("IHDR", Be32(width) + Be32(height) + '\x08' + colour + QByteArray(3, '\0')) + chunk("IDAT", rows) +
         chunk("IEND", {});
}

// orvelle-trim's exit code (-1: no normal end within a minute) and what it wrote on stderr.
struct Trimmed {
  int code;
  QString errors;
};
// `addressSpace`: the most bytes of address space the run may take, when given.
Trimmed Trim(const QStringList &args, rlim_t addressSpace = RLIM_INFINITY) {
  QProcess p;
  p.setChildProcessModifier([addressSpace] {
    const rlimit limit{addressSpace, addressSpace};
    setrlimit(RLIMIT_AS, &limit);
  });
  p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim"), args);
  const bool ended = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
  p.kill();
  return {ended ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(HostileFiles, EachEndsWithItsReasonAndTheOthersAreSaved) {
  QTemporaryDir dir;
  const QDir in(dir.filePath("in")), out(dir.filePath("out"));
  ASSERT_TRUE(QDir().mkpath(in.path()) && QDir().mkpath(out.path()));
  const QString ini = dir.filePath("trim.ini");
  const QByteArray settings = "[Data]\nPicStartX=40\nPicStartY=30\nPicWidth=200\nPicHeight=200\nNewPicStartX=0\n"
                              "NewPicStartY=0\nNewPicWidth=200\nNewPicHeight=200\nPicRatio=0\n[File]\nF_Path=" +
                              QFile::encodeName(out.path()) + "\n";
  ASSERT_TRUE(testing::WriteFile(ini, settings));
  QImage picture(640, 480, QImage::Format_RGB32);
  for (int i = 0; i < 640 * 480; ++i) {
    picture.setPixel(i % 640, i / 640, qRgb(i % 640 * 255 / 640, i / 640 * 255 / 480, 128));
  }
  const auto path = [&in](const QString &name) { return in.filePath(name); };
  const auto saved = [&](const QString &name, const char *format) {
    return picture.save(path(name), format, 90) ? testing::ReadFile(path(name)) : QByteArray();
  };
  ASSERT_TRUE(picture.save(path("good.png")) && picture.copy(0, 0, 256, 256).save(path("icon.ico")) &&
              picture.copy(0, 0, 20, 20).save(path("small.png"))); // the frame lies outside the last
  // A JPEG with a long tail holding more scan markers, as phones append videos.
  QByteArray tail(3 << 20, '\x11');
  for (int i = 0; i < tail.size(); i += 4096) {
    tail.replace(i, 2, "\xff\xda");
  }
  const QByteArray jpeg = saved("tailed.jpg", "JPEG");
  ASSERT_TRUE(testing::WriteFile(path("tailed.jpg"), jpeg + tail));
  QByteArray scans = jpeg.chopped(2); // the last scan repeated, then the end-of-image marker
  scans += scans.mid(scans.lastIndexOf("\xff\xda")).repeated(150) + "\xff\xd9";
  ASSERT_TRUE(testing::WriteFile(path("many-scans.jpg"), scans));
  // Legitimate big pictures, past Qt's default allocation limit.
  QImage big(8000, 6000, QImage::Format_Grayscale8);
  big.fill(90);
  ASSERT_TRUE(big.save(path("big.png")) && big.save(path("bigphoto.jpg")));
  ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.png")).constData(), 0600), 0);
  const QByteArray wideRow = qCompress(QByteArray(33554433, '\0')).mid(4);
  ASSERT_TRUE(testing::WriteFile(path("wide.png"), GreyPng(33554432, 64, wideRow)));
  ASSERT_TRUE(testing::WriteFile(path("huge-header.png"), GreyPng(0x7FFFFFFF, 0x7FFFFFFF, wideRow.left(64))));
  // A bitmap cut off half-way; the same stored top-down (a negative height).
  const QByteArray cutPng = saved("halved.png", "PNG"); // and a PNG cut off in its picture data
  ASSERT_TRUE(testing::WriteFile(path("halved.png"), cutPng.left(cutPng.size() / 2)));
  const QByteArray bmp = saved("cut.bmp", "BMP");
  ASSERT_TRUE(testing::WriteFile(path("cut.bmp"), bmp.left(bmp.size() / 2)));
  const qsizetype pitch = 640 * 3, rowsAt = qFromLittleEndian<quint32>(bmp.constData() + 10);
  QByteArray topDown = bmp.left(rowsAt);
  qToLittleEndian<qint32>(-480, topDown.data() + 22);
  for (int row = 479; row >= 0; --row) {
    topDown += bmp.mid(rowsAt + row * pitch, pitch);
  }
  ASSERT_TRUE(testing::WriteFile(path("topdown.bmp"), topDown));
  ASSERT_TRUE(testing::WriteFile(path("-platform"), "not a picture"));
  // JPEGs the decoder cannot read: 12-bit samples, lossless coding.
  const qsizetype sof = jpeg.indexOf("\xff\xc0");
  ASSERT_TRUE(testing::WriteFile(path("twelve.jpg"), QByteArray(jpeg).replace(sof + 4, 1, "\x0c")));
  ASSERT_TRUE(testing::WriteFile(path("lossless.jpg"), QByteArray(jpeg).replace(sof + 1, 1, "\xc3")));
  // A small progressive JPEG whose header says 20000 x 20000: its decoder would keep coefficients for all of it.
  QByteArray progressive;
  {
    QBuffer buffer(&progressive);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    ASSERT_TRUE(writer.write(picture.copy(0, 0, 64, 64)));
  }
  const qsizetype sof2 = progressive.indexOf("\xff\xc2");
  ASSERT_GT(sof2, 0);
  ASSERT_TRUE(
      testing::WriteFile(path("bomb.jpg"), progressive.replace(sof2 + 5, 4, QByteArray("\x4e\x20\x4e\x20", 4))));
  // Cut short inside its picture data, its end marker still there: the decoder would fill the rest grey.
  ASSERT_TRUE(testing::WriteFile(path("cut-grey.jpg"), jpeg.left(jpeg.indexOf("\xff\xda") + 2000) + "\xff\xd9"));

  // Each hostile file with the reason it must end in.
  ASSERT_TRUE(QDir().mkpath(path("folder.png")));
  const QStringList failing = {"folder.png|フォルダーです",
                               "fifo.png|通常のファイルではありません",
                               "wide.png|大きすぎます",
                               "huge-header.png|大きすぎます",
                               "many-scans.jpg|スキャンの数",
                               "cut.bmp|途中で切れて",
                               "halved.png|途中で切れて",
                               "small.png|画像の外",
                               "missing.png|見つかりません",
                               "-platform|画像として読み込めない",
                               "twelve.jpg|対応していない JPEG です（12 ビット）",
                               "lossless.jpg|対応していない JPEG です（可逆圧縮）",
                               "cut-grey.jpg|途中で切れて",
                               "bomb.jpg|プログレッシブ JPEG 20000×20000"};
  const QStringList good = {"good.png", "tailed.jpg", "big.png", "bigphoto.jpg", "topdown.bmp", "icon.ico"};
  QStringList args = {"--settings", ini, "--"};
  for (const QString &name : good + failing) {
    args << path(name.section('|', 0, 0));
  }
  const Trimmed run = Trim(args);
  EXPECT_EQ(run.code, 1) << run.errors.toStdString();
  for (const QString &name : failing) {
    const QRegularExpression line('^' + QRegularExpression::escape(path(name.section('|', 0, 0))) + ": .*" +
                                      name.section('|', 1),
                                  QRegularExpression::MultilineOption);
    EXPECT_TRUE(run.errors.contains(line)) << name.toStdString() << run.errors.toStdString();
  }
  for (const QString &name : good) {
    const QImage trimmed(out.filePath(QFileInfo(name).completeBaseName() + ".jpg"));
    EXPECT_TRUE(trimmed.size() == QSize(200, 200) &&
                (name.startsWith("big") || testing::MeanDifference(trimmed, picture.copy(40, 30, 200, 200)) < 3))
        << name.toStdString();
  }
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  EXPECT_LT(usage.ru_maxrss, 1536 * 1024) << "kB at the most of one run";
#ifndef __SANITIZE_ADDRESS__ // whose shadow memory takes terabytes of address space
  // The bomb refused within 1 GB of address space: a decoder that allocated first would fail otherwise.
  const Trimmed bounded = Trim({"--settings", ini, path("bomb.jpg")}, rlim_t(1) << 30);
  EXPECT_TRUE(bounded.code == 1 && bounded.errors.contains(QStringLiteral("プログレッシブ JPEG 20000×20000")))
      << bounded.errors.toStdString();
#endif

  // An existing output is passed over, replaced with --overwrite (all saved: 0), a read-only one never.
  EXPECT_TRUE(Trim({"--settings", ini, path("good.png")}).errors.contains(QStringLiteral("同じ名前のファイル")));
  ::umask(077); // which every file the kernel makes then follows
  EXPECT_EQ(Trim({"--settings", ini, "--overwrite", path("good.png"), path("icon.ico")}).code, 0);
  ::umask(022);
  EXPECT_EQ(int(QFile::permissions(out.filePath("icon.jpg")) & 0x0077), 0); // neither group nor others
  QFile::setPermissions(out.filePath("good.jpg"), QFile::ReadOwner);
  EXPECT_TRUE(
      Trim({"--settings", ini, "--overwrite", path("good.png")}).errors.contains(QStringLiteral("読み取り専用")));
  // Names that are no UTF-8 reach the files byte for byte; their stray bytes show as \xHH.
  const QByteArray raw = QFile::encodeName(in.path()) + "/\xff\xfe-good.png";
  QFile::copy(path("good.png"), path("copy.png"));
  ASSERT_EQ(::rename(QFile::encodeName(path("copy.png")).constData(), raw.constData()), 0);
  QProcess stray;
  stray.start("/bin/sh", {"-c",
                          "exec \"$0\" --settings \"$1\" -- \"$2\"/\"$(printf '\\377\\376')\"-good.png "
                          "\"$2\"/\"$(printf '\\376')\"-none.png",
                          QCoreApplication::applicationDirPath() + "/orvelle-trim", ini, in.path()});
  ASSERT_TRUE(stray.waitForFinished(60000));
  EXPECT_EQ(stray.exitCode(), 1);
  EXPECT_TRUE(stray.readAllStandardError().contains("\\xfe-none.png: \xe8\xa6\x8b")); // 見つかりません
  QFile strayJpeg;
  const int strayFd = ::open((QFile::encodeName(out.path()) + "/\xff\xfe-good.jpg").constData(), O_RDONLY);
  ASSERT_GE(strayFd, 0);
  ASSERT_TRUE(strayJpeg.open(strayFd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
  EXPECT_LT(testing::MeanDifference(QImage::fromData(strayJpeg.readAll()), picture.copy(40, 30, 200, 200)), 3);
  // The output folder reached through a link: an input there is still an input.
  ASSERT_TRUE(QFile::link(in.path(), dir.filePath("link")));
  EXPECT_EQ(Trim({"--settings", ini, "--overwrite", "--output", dir.filePath("link"), path("tailed.jpg")}).code, 1);
  EXPECT_EQ(testing::ReadFile(path("tailed.jpg")), jpeg + tail);
  // Two batches into one folder at once: each output saved by one of them and
  // passed over by the other, never one replacing the other's.
  const QDir race(dir.filePath("race"));
  QStringList racing = {"--settings", ini, "--output", race.path(), "--"};
  for (int i = 0; i < 40; ++i) {
    racing << dir.filePath(QStringLiteral("race-%1.png").arg(i));
    ASSERT_TRUE(QFile::link(path("good.png"), racing.last()));
  }
  ASSERT_TRUE(QDir().mkpath(race.path()));
  QProcess first, second;
  first.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim"), racing);
  second.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim"), racing);
  ASSERT_TRUE(first.waitForFinished(60000) && second.waitForFinished(60000));
  const QString passed = QString::fromUtf8(first.readAllStandardError() + second.readAllStandardError());
  EXPECT_EQ(passed.count(QStringLiteral("同じ名前のファイル")), 40);
  EXPECT_EQ(race.entryList(QDir::Files | QDir::Hidden).size(), 40);
  // Stopped half-way (SIGTERM, twice): whole files only, no temporary file left, exit 143.
  QStringList many = {"--settings", ini, "--output", in.path(), "--"};
  for (int i = 0; i < 40; ++i) {
    many << dir.filePath(QStringLiteral("big-%1.png").arg(i));
    ASSERT_TRUE(QFile::link(path("big.png"), many.last()));
  }
  QProcess stopped;
  stopped.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim"), many);
  while (stopped.state() != QProcess::NotRunning && !QFile::exists(path("big-0.jpg")) &&
         !QFile::exists(path("big-1.jpg"))) {
    stopped.waitForFinished(20);
  }
  stopped.terminate();
  stopped.waitForFinished(5);
  stopped.terminate(); // a second stop ends the run at once, with the same promise
  stopped.waitForFinished(60000);
  EXPECT_TRUE(stopped.state() == QProcess::NotRunning && stopped.exitCode() == 143);
  for (const QString &name : in.entryList({"big-*", ".orvelle-*"}, QDir::Files | QDir::Hidden)) {
    EXPECT_EQ(QImage(path(name)).size(), QSize(200, 200)) << name.toStdString();
  }
  // As PNG (asked for, or chosen in trim.ini): the trimmed pixels exactly.
  EXPECT_EQ(Trim({"--settings", ini, "--format", "png", path("good.png")}).code, 0);
  EXPECT_EQ(QImage(out.filePath("good.png")).convertToFormat(QImage::Format_RGB32), picture.copy(40, 30, 200, 200));
  // On a terminal the batch ends with a summary line; --version names the version.
  QProcess terminal;
  const QString trim = QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim");
  terminal.start("script",
                 {"-qec",
                  QStringList{trim, "--settings", ini, "--overwrite", path("icon.ico"), path("missing.png")}.join(' '),
                  "/dev/null"});
  ASSERT_TRUE(terminal.waitForFinished(60000));
  EXPECT_TRUE(
      QString::fromUtf8(terminal.readAllStandardOutput()).contains(QStringLiteral("一括トリム：1 枚保存、1 枚失敗")));
  terminal.start(trim, {"--version"});
  ASSERT_TRUE(terminal.waitForFinished(60000));
  EXPECT_EQ(terminal.readAllStandardOutput(), "orvelle-trim " ORVELLE_VERSION "\n");
  // Wrong usage: 2.
  EXPECT_EQ(Trim({}).code, 2);
  EXPECT_EQ(Trim({"--settings", ini, "--output", "", path("good.png")}).code, 2);
  // Without "--" a name like an option is refused as one, and Qt takes none of them.
  EXPECT_EQ(Trim({"--settings", ini, "-platform", "nosuch", path("good.png")}).code, 2);
  // Settings that never end or never open, and an output too large to hold.
  for (const QString &settings : {QStringLiteral("/dev/zero"), path("fifo.png"), dir.filePath("none.ini")}) {
    const Trimmed bad = Trim({"--settings", settings, path("good.png")});
    EXPECT_TRUE(bad.code == 2 && bad.errors.contains(QStringLiteral("読み込めません"))) << bad.errors.toStdString();
  }
  ASSERT_TRUE(testing::WriteFile(
      ini, QByteArray(settings).replace("NewPicWidth=200\nNewPicHeight=200", "NewPicWidth=32767\nNewPicHeight=32767")));
  const Trimmed huge = Trim({"--settings", ini, "--overwrite", path("icon.ico")});
  EXPECT_TRUE(huge.code == 1 && huge.errors.contains(QStringLiteral("トリム後の画像が大きすぎます")));
}

TEST(RegionReader, AreasArePixelForPixelTheWholeDecoding) {
  QTemporaryDir dir;
  // Noise over gradients, so that every subsampled colour block differs from its neighbours.
  QImage picture(301, 203, QImage::Format_RGB32);
  quint32 seed = 1;
  for (int i = 0; i < 301 * 203; ++i) {
    seed = seed * 1664525 + 1013904223;
    picture.setPixel(i % 301, i / 301, qRgb(i % 301 * 255 / 301 ^ (seed >> 27), i / 301, seed >> 24));
  }
  const QString baseline = dir.filePath("b.jpg"), progressive = dir.filePath("p.jpg");
  QImageWriter writer(progressive, "jpeg");
  writer.setQuality(80);
  writer.setProgressiveScanWrite(true);
  ASSERT_TRUE(picture.save(baseline, "JPEG", 80) && writer.write(picture));
  // PNGs as Qt writes them, with and without alpha, and one whose rows use the five filters in turn.
  QImage translucent = picture.convertToFormat(QImage::Format_ARGB32);
  translucent.setPixel(3, 3, qRgba(10, 20, 30, 40));
  QByteArray filtered, above(301 * 3, '\0');
  for (int y = 0; y < 203; ++y) {
    QByteArray row;
    for (int x = 0; x < 301; ++x) {
      const QRgb p = picture.pixel(x, y);
      row.append(char(qRed(p))).append(char(qGreen(p))).append(char(qBlue(p)));
    }
    filtered += char(y % 5);
    for (int i = 0; i < row.size(); ++i) {
      const int a = i >= 3 ? uchar(row[i - 3]) : 0, b = uchar(above[i]), c = i >= 3 ? uchar(above[i - 3]) : 0;
      const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
      const int predicted[] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
      filtered += char(uchar(row[i]) - predicted[y % 5]);
    }
    above = row;
  }
  const QString png = dir.filePath("rgb.png"), rgba = dir.filePath("rgba.png"), filters = dir.filePath("filters.png");
  ASSERT_TRUE(picture.save(png) && translucent.save(rgba) &&
              testing::WriteFile(filters, GreyPng(301, 203, qCompress(filtered).mid(4), 2)));
  for (const QString &file : {baseline, progressive, png, rgba, filters}) {
    const QImage whole = QImage(file).convertToFormat(QImage::Format_RGB32);
    for (const QRect area : {QRect(17, 33, 101, 55), QRect(0, 0, 31, 9), QRect(288, 196, 13, 7), QRect(300, 5, 1, 1),
                             QRect(0, 0, 301, 203)}) {
      const Expected<Region> read = ReadRegion(
          file, [area](QSize) { return area; }, 1 << 28);
      ASSERT_TRUE(read) << file.toStdString();
      EXPECT_EQ(read->pixels, whole.copy(area)) << file.toStdString() << " " << area.x() << "," << area.y();
    }
  }
}

TEST(Stopping, DecodingEndsBetweenRowsAndASecondStopLeavesNoHiddenFile) {
  QTemporaryDir dir;
  QImage picture(64, 4000, QImage::Format_RGB32);
  picture.fill(Qt::darkCyan);
  const QString jpeg = dir.filePath("tall.jpg"), png = dir.filePath("tall.png"), scans = dir.filePath("scans.jpg");
  QImageWriter progressive(scans, "jpeg");
  progressive.setProgressiveScanWrite(true);
  ASSERT_TRUE(picture.save(jpeg) && picture.save(png) && progressive.write(picture));
  std::atomic<bool> stop{false};
  for (const QString &file : {jpeg, png, scans}) {
    // Asked to stop once the size is known: the rows down to the bottom are never decoded.
    const auto stopNow = [&stop](QSize size) {
      stop = true;
      return QRect(QPoint(0, size.height() - 10), QSize(size.width(), 10));
    };
    const Expected<Region> read = ReadRegion(file, stopNow, 1 << 28, &stop);
    EXPECT_TRUE(!read && read.problem().kind == ProblemKind::Interrupted) << file.toStdString();
    stop = false;
    EXPECT_TRUE(ReadRegion(file, stopNow, 1 << 28)) << "without a flag nothing stops";
  }
  // What a second stop removes: the files held and hidden files open for writing, never one only read.
  const QString held = dir.filePath(".orvelle-1.jpg"), writing = dir.filePath(".orvelle-ab12"),
                reading = dir.filePath(".orvelle-2.png");
  ASSERT_TRUE(testing::WriteFile(held, "x") && testing::WriteFile(reading, "x"));
  QFile written(writing), read(reading);
  ASSERT_TRUE(written.open(QIODevice::WriteOnly) && read.open(QIODevice::ReadOnly));
  PartialFiles partial;
  partial.Hold(QFile::encodeName(held));
  partial.RemoveAll();
  EXPECT_FALSE(QFile::exists(held) || QFile::exists(writing));
  EXPECT_TRUE(QFile::exists(reading) && QFile::exists(png));
}

TEST(JpegLibrary, ReadsOtherBitmapsAndFailsWithoutHarm) {
  QTemporaryDir dir;
  const auto file = [&dir](const char *name) { return QFile::encodeName(dir.filePath(QString::fromUtf8(name))); };
  // Every kind of bitmap the library takes, as other programs write them:
  // palettes of 1, 4 and 8 bits (colour and grey), 32 bits with bit fields.
  QImage image(96, 64, QImage::Format_Indexed8);
  for (int i = 0; i < 256; ++i) {
    image.setColor(i, qRgb(i, 255 - i, 128));
  }
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 96; ++x) {
      image.setPixel(x, y, (x / 8 + y / 8 * 12) % 256);
    }
  }
  QImage grey = image;
  for (int i = 0; i < 256; ++i) {
    grey.setColor(i, qRgb(i, i, i));
  }
  QImage sixteen = image;
  sixteen.setColorCount(16);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 96; ++x) {
      sixteen.setPixel(x, y, (x / 8 + y / 8) % 16);
    }
  }
  const QImage mono = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
  // A version 5 header and its masks, blue, green, red and alpha as they come, or turned about.
  const auto v5 = [&](quint32 red, quint32 green, quint32 blue) {
    QByteArray b(14 + 124, '\0');
    qToLittleEndian<quint32>(14 + 124, b.data() + 10);
    const std::pair<int, quint32> header[] = {{14, 124}, {18, 96},  {22, quint32(-64)}, {28, 32},
                                              {30, 3},   {54, red}, {58, green},        {62, blue}};
    for (const auto &[at, value] : header) {
      qToLittleEndian<quint32>(value, b.data() + at);
    }
    qToLittleEndian<quint16>(1, b.data() + 26);
    b[0] = 'B', b[1] = 'M';
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 96; ++x) {
        const QRgb c = image.pixel(x, y);
        const quint32 p = (qRed(c) * (red / 255)) | (qGreen(c) * (green / 255)) | (qBlue(c) * (blue / 255));
        b += QByteArray(reinterpret_cast<const char *>(&p), 4);
      }
    }
    return b;
  };
  ASSERT_TRUE(image.save(QString::fromUtf8(file("8.bmp"))) && grey.save(QString::fromUtf8(file("grey.bmp"))) &&
              sixteen.save(QString::fromUtf8(file("4.bmp"))) && mono.save(QString::fromUtf8(file("1.bmp"))));
  ASSERT_TRUE(testing::WriteFile(dir.filePath("v5.bmp"), v5(0xFF0000, 0xFF00, 0xFF)) &&
              testing::WriteFile(dir.filePath("v5-turned.bmp"), v5(0xFF00, 0xFF0000, 0xFF000000)));
  const std::tuple<const char *, int, QImage> kinds[] = {{"8.bmp", 8, image},   {"grey.bmp", 8, grey},
                                                         {"4.bmp", 4, sixteen}, {"1.bmp", 1, mono},
                                                         {"v5.bmp", 32, image}, {"v5-turned.bmp", 32, image}};
  for (const auto &[name, bits, expected] : kinds) {
    EXPECT_EQ(testing::ReadFile(QString::fromUtf8(file(name))).at(28), bits) << name;
    ASSERT_EQ(SavetoJPEG(file(name), file("out.jpg"), 100, -1), SAVEJPG_OK) << name;
    EXPECT_LT(testing::MeanDifference(QImage(QString::fromUtf8(file("out.jpg"))), expected), 2.0) << name;
  }
  // Failures leave an existing target as it was, also when the disk fills up.
  const QByteArray target = file("out.jpg");
  ASSERT_TRUE(testing::WriteFile(QString::fromUtf8(target), "the old picture"));
  ASSERT_TRUE(testing::WriteFile(QString::fromUtf8(file("junk.bmp")), "BM not really"));
  EXPECT_EQ(SavetoJPEG(file("junk.bmp"), target, 50, -1), SAVEJPG_E_SOURCE);
  EXPECT_EQ(SavetoJPEG(file("8.bmp"), target, 101, -1), SAVEJPG_E_ARGUMENT);
  EXPECT_EQ(SavePixelstoJPEG(image.constBits(), 96, 64, 96 * 3, target, 50, -1), SAVEJPG_E_SOURCE); // rows too short
  EXPECT_EQ(testing::WithDiskFullAfter(256, [&] { return SavetoJPEG(file("8.bmp"), target, 100, -1); }),
            SAVEJPG_E_TARGET);
  EXPECT_EQ(testing::ReadFile(QString::fromUtf8(target)), "the old picture");
  EXPECT_TRUE(QDir(dir.path()).entryList({".orvelle-*"}, QDir::Files | QDir::Hidden).isEmpty()); // none left
  ASSERT_EQ(mkfifo(file("pipe.bmp").constData(), 0600), 0); // a pipe is refused, never waited on
  EXPECT_EQ(SavetoJPEG(file("pipe.bmp"), target, 50, -1), SAVEJPG_E_SOURCE);
  // A target marked read-only, also a pipe of that name, is never replaced nor waited on.
  ASSERT_EQ(::chmod(target.constData(), 0444), 0);
  EXPECT_EQ(SavetoJPEG(file("8.bmp"), target, 50, -1), SAVEJPG_E_READONLY);
  EXPECT_EQ(testing::ReadFile(QString::fromUtf8(target)), "the old picture");
  ASSERT_EQ(mkfifo(file("pipe.jpg").constData(), 0444), 0);
  EXPECT_EQ(SavePixelstoJPEG(image.convertToFormat(QImage::Format_RGB32).constBits(), 96, 64, 96 * 4, file("pipe.jpg"),
                             50, -1),
            SAVEJPG_E_READONLY);
}

} // namespace orvelle

namespace orvelle {

TEST(BatchWorkers, AsManyAsTheCoresAndTheFreeMemoryHold) {
  QTemporaryDir dir;
  ASSERT_TRUE(testing::WriteFile(dir.filePath("meminfo"), "MemTotal: 33554432 kB\nMemAvailable:    2097152 kB\n"));
  EXPECT_EQ(AvailableMemory(dir.filePath("meminfo"), dir.filePath("none")), qint64(2) << 30);
  // A cgroup that allows less than the system has: what it still allows.
  ASSERT_TRUE(testing::WriteFile(dir.filePath("memory.max"), "1610612736\n") &&
              testing::WriteFile(dir.filePath("memory.current"), "536870912\n"));
  EXPECT_EQ(AvailableMemory(dir.filePath("meminfo"), dir.path()), qint64(1) << 30);
  ASSERT_TRUE(testing::WriteFile(dir.filePath("memory.max"), "max\n")); // no limit
  EXPECT_EQ(AvailableMemory(dir.filePath("meminfo"), dir.path()), qint64(2) << 30);
  const qint64 budget = qint64(512) << 20;
  EXPECT_EQ(BatchWorkers(32, qint64(3) << 29, budget), 3);  // 1.5 GB for 32 cores: 3 workers
  EXPECT_EQ(BatchWorkers(2, qint64(100) << 20, budget), 1); // never none
  EXPECT_EQ(BatchWorkers(8, std::nullopt, budget), 8);      // unknown: one a core
}

} // namespace orvelle

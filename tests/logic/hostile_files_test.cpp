// orvelle-trim on a folder of hostile files: each ends promptly with its true
// reason and within the memory budget, and the good files beside them are saved.

#include "tests/support/test_files.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace orvelle {

namespace {

quint32 Crc32(const QByteArray &bytes) {
  quint32 crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= quint8(c);
    for (int k = 0; k < 8; ++k) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

QByteArray Be32(quint32 v) {
  QByteArray b(4, '\0');
  qToBigEndian(v, b.data());
  return b;
}

QByteArray Chunk(const char *type, const QByteArray &data) {
  const QByteArray body = QByteArray(type) + data;
  return Be32(quint32(data.size())) + body + Be32(Crc32(body));
}

// A grey PNG of this declared size whose rows are the given zlib stream.
QByteArray GreyPng(quint32 width, quint32 height, const QByteArray &rows) {
  const QByteArray ihdr = Be32(width) + Be32(height) + QByteArray("\x08\x00\x00\x00\x00", 5);
  return QByteArray("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", ihdr) + Chunk("IDAT", rows) + Chunk("IEND", {});
}

QByteArray Jpeg(const QImage &image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", 90);
  return bytes;
}

struct TrimRun {
  int code = -1;
  QString errors;
  qint64 ms = 0;
};

TrimRun Trim(const QStringList &args) {
  TrimRun run;
  QElapsedTimer timer;
  timer.start();
  QProcess p;
  p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim"), args);
  const bool ended = p.waitForFinished(120000);
  run.ms = timer.elapsed();
  run.errors = QString::fromUtf8(p.readAllStandardError());
  run.code = ended && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  if (!ended) {
    p.kill();
    p.waitForFinished();
  }
  return run;
}

// The reason given for one file, from its line "name: reason".
QString ReasonFor(const QString &errors, const QString &name) {
  for (const QString &line : errors.split(QLatin1Char('\n'))) {
    if (line.startsWith(name + QStringLiteral(": "))) {
      return line.mid(name.size() + 2);
    }
  }
  return QStringLiteral("<no line>");
}

QByteArray Settings(int frameSize, int outputSize, const QString &folder) {
  return QStringLiteral(
             "[Data]\nPicStartX=40\nPicStartY=30\nPicWidth=%1\nPicHeight=%1\nNewPicStartX=0\nNewPicStartY=0\n"
             "NewPicWidth=%2\nNewPicHeight=%2\nPicRatio=0\n[File]\nF_Path=%3\n")
      .arg(frameSize)
      .arg(outputSize)
      .arg(folder)
      .toUtf8();
}

} // namespace

TEST(HostileFiles, EachEndsWithItsReasonAndTheOthersAreSaved) {
  QTemporaryDir dir;
  const QDir in(dir.filePath("in")), out(dir.filePath("out"));
  QDir().mkpath(in.path());
  QDir().mkpath(out.path());
  const QString ini = dir.filePath("trim.ini");
  ASSERT_TRUE(testing::WriteFile(ini, Settings(200, 200, out.path())));
  QImage picture(640, 480, QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      picture.setPixel(x, y, qRgb(x * 255 / 640, y * 255 / 480, 128));
    }
  }
  const auto path = [&in](const char *name) { return in.filePath(QString::fromUtf8(name)); };
  ASSERT_TRUE(picture.save(path("good.png")));
  // A JPEG with a long tail holding more scan markers, as phones append videos.
  QByteArray tail(3 << 20, '\x11');
  for (int i = 0; i < tail.size(); i += 4096) {
    tail[i] = '\xff', tail[i + 1] = '\xda';
  }
  ASSERT_TRUE(testing::WriteFile(path("tailed.jpg"), Jpeg(picture) + tail));
  // Legitimate big pictures, past Qt's default allocation limit.
  const QImage big = QImage(8000, 6000, QImage::Format_Grayscale8);
  QImage bigPicture = big;
  bigPicture.fill(90);
  ASSERT_TRUE(bigPicture.save(path("big.png")));
  ASSERT_TRUE(testing::WriteFile(path("bigphoto.jpg"), Jpeg(bigPicture)));
  // Hostile ones.
  ASSERT_EQ(mkfifo(QFile::encodeName(path("fifo.png")).constData(), 0600), 0);
  const QByteArray wideRow = qCompress(QByteArray(33554433, '\0')).mid(4);
  ASSERT_TRUE(testing::WriteFile(path("wide.png"), GreyPng(33554432, 64, wideRow)));
  ASSERT_TRUE(testing::WriteFile(path("huge-header.png"), GreyPng(0x7FFFFFFF, 0x7FFFFFFF, wideRow.left(64))));
  QByteArray scans = Jpeg(picture);
  scans.chop(2); // the end-of-image marker comes after the repeated scans
  const qsizetype lastScan = scans.lastIndexOf("\xff\xda");
  const QByteArray scan = scans.mid(lastScan);
  for (int i = 0; i < 150; ++i) {
    scans += scan;
  }
  ASSERT_TRUE(testing::WriteFile(path("many-scans.jpg"), scans + "\xff\xd9"));
  QByteArray bmp;
  QBuffer bmpBuffer(&bmp);
  bmpBuffer.open(QIODevice::WriteOnly);
  picture.save(&bmpBuffer, "BMP");
  ASSERT_TRUE(testing::WriteFile(path("cut.bmp"), bmp.left(bmp.size() / 2)));
  // The same bitmap stored top-down (a negative height), and an icon: both pictures.
  const qsizetype pitch = (640 * 3 + 3) / 4 * 4, rowsAt = qFromLittleEndian<quint32>(bmp.constData() + 10);
  QByteArray topDown = bmp.left(rowsAt);
  qToLittleEndian<qint32>(-480, topDown.data() + 22);
  for (int row = 479; row >= 0; --row) {
    topDown += bmp.mid(rowsAt + row * pitch, pitch);
  }
  ASSERT_TRUE(testing::WriteFile(path("topdown.bmp"), topDown));
  ASSERT_TRUE(picture.copy(0, 0, 256, 256).save(path("icon.ico")));
  // A PNG with one text chunk larger than the decoder keeps.
  QByteArray png = testing::ReadFile(path("good.png"));
  png.insert(33, Chunk("iCCP", QByteArray("icc\0\0", 5) + QByteArray(5 << 20, 'x')));
  ASSERT_TRUE(testing::WriteFile(path("big-chunk.png"), png));
  ASSERT_TRUE(picture.copy(0, 0, 20, 20).save(path("small.png"))); // the frame lies outside it
  ASSERT_TRUE(testing::WriteFile(path("-platform"), "not a picture"));

  rusage before{};
  getrusage(RUSAGE_CHILDREN, &before);
  const QStringList names = {"good.png",    "tailed.jpg",      "big.png",        "bigphoto.jpg", "fifo.png",
                             "wide.png",    "huge-header.png", "many-scans.jpg", "cut.bmp",      "small.png",
                             "missing.png", "-platform",       "topdown.bmp",    "icon.ico",     "big-chunk.png"};
  QStringList args = {"--settings", ini, "--"};
  for (const QString &name : names) {
    args << in.filePath(name);
  }
  const TrimRun run = Trim(args);
  EXPECT_EQ(run.code, 1) << run.errors.toStdString();
  EXPECT_LT(run.ms, 60000);
  for (const char *saved : {"good", "tailed", "big", "bigphoto", "topdown", "icon"}) {
    EXPECT_EQ(QImage(out.filePath(QString::fromUtf8(saved) + ".jpg")).size(), QSize(200, 200)) << saved;
  }
  for (const char *same : {"tailed.jpg", "topdown.jpg", "icon.jpg"}) {
    EXPECT_LT(testing::MeanDifference(QImage(out.filePath(same)), picture.copy(40, 30, 200, 200)), 3) << same;
  }
  const auto reason = [&](const char *name) { return ReasonFor(run.errors, in.filePath(QString::fromUtf8(name))); };
  // Read whole past its large chunk, or refused for that chunk: never "not an image".
  EXPECT_TRUE(QFile::exists(out.filePath("big-chunk.jpg")) ||
              reason("big-chunk.png").contains(QStringLiteral("チャンク")));
  EXPECT_TRUE(reason("fifo.png").contains(QStringLiteral("通常のファイルではありません")));
  EXPECT_TRUE(reason("wide.png").contains(QStringLiteral("大きすぎます"))) << run.errors.toStdString();
  EXPECT_TRUE(reason("huge-header.png").contains(QStringLiteral("大きすぎます")));
  EXPECT_TRUE(reason("many-scans.jpg").contains(QStringLiteral("スキャンの数")));
  EXPECT_TRUE(reason("cut.bmp").contains(QStringLiteral("途中で切れて")));
  EXPECT_TRUE(reason("small.png").contains(QStringLiteral("画像の外")));
  EXPECT_TRUE(reason("missing.png").contains(QStringLiteral("見つかりません")));
  EXPECT_TRUE(reason("-platform").contains(QStringLiteral("画像として読み込めない"))) << run.errors.toStdString();
  rusage after{};
  getrusage(RUSAGE_CHILDREN, &after);
  EXPECT_LT(after.ru_maxrss, 1536 * 1024) << "kB at the most of one run";

  // All saved: 0; wrong usage, and settings that cannot be used (the key is named): 2.
  EXPECT_EQ(Trim({"--settings", ini, "--quality", "90", path("good.png")}).code, 0);
  EXPECT_EQ(Trim({}).code, 2);
  EXPECT_EQ(Trim({"--quality", "101", path("good.png")}).code, 2);
  ASSERT_TRUE(testing::WriteFile(dir.filePath("part.ini"), "[Data]\nPicStartX=10\n"));
  EXPECT_TRUE(Trim({"--settings", dir.filePath("part.ini"), path("good.png")}).errors.contains("PicStartY"));
  // Without "--" a name like an option is refused as one, and Qt takes none of them.
  EXPECT_EQ(Trim({"--settings", ini, "-platform", "nosuch", path("good.png")}).code, 2);
  // Settings that never end or never open, an empty value, an output too large to hold.
  for (const QString &settings : {QStringLiteral("/dev/zero"), path("fifo.png"), dir.filePath("none.ini")}) {
    const TrimRun bad = Trim({"--settings", settings, path("good.png")});
    EXPECT_EQ(bad.code, 2) << settings.toStdString();
    EXPECT_TRUE(bad.errors.contains(QStringLiteral("読み込めません"))) << bad.errors.toStdString();
  }
  EXPECT_EQ(Trim({"--settings", ini, "--output", "", path("good.png")}).code, 2);
  ASSERT_TRUE(testing::WriteFile(ini, Settings(200, 32767, out.path())));
  const TrimRun huge = Trim({"--settings", ini, path("good.png")});
  EXPECT_EQ(huge.code, 1);
  EXPECT_TRUE(huge.errors.contains(QStringLiteral("トリム後の画像が大きすぎます"))) << huge.errors.toStdString();
}

} // namespace orvelle

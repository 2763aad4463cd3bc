#include "export/bmp_file.h"
#include "export/jpeg_export.h"
#include "export/jpeg_library.h"
#include "savejpg/SaveJPG.h"
#include "tests/support/synthetic_screen.h"
#include "tests/support/test_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace orvelle {

using testing::MeanDifference;

namespace {

QImage Sample(QSize size = {96, 64}) { return testing::SyntheticScreen(size); }

QByteArray Utf8(const QString &path) { return QFile::encodeName(path); }

class JpegFiles : public ::testing::Test {
protected:
  QString file(const QString &name) const { return m_dir.filePath(name); }
  QTemporaryDir m_dir;
};

} // namespace

TEST_F(JpegFiles, TheBitmapHoldsTheImageExactly) {
  const QImage image = Sample();
  ASSERT_TRUE(SaveBmp(image, file(QStringLiteral("a.bmp"))));
  QFile bmp(file(QStringLiteral("a.bmp")));
  ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
  EXPECT_EQ(bmp.size(), 54 + 96 * 64 * 4);
  EXPECT_EQ(bmp.read(2), "BM");
  const QImage back(file(QStringLiteral("a.bmp")));
  ASSERT_FALSE(back.isNull());
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
  EXPECT_FALSE(SaveBmp(image, file(QStringLiteral("missing/a.bmp"))));
  EXPECT_FALSE(SaveBmp(QImage(), file(QStringLiteral("b.bmp"))));
  EXPECT_FALSE(QFile::exists(file(QStringLiteral("b.bmp"))));
}

TEST_F(JpegFiles, TheLibraryEncodesBitmapsAtTheGivenQuality) {
  const QImage image = Sample();
  ASSERT_TRUE(SaveBmp(image, file(QStringLiteral("32.bmp"))));
  // A 24-bit bitmap, as other programs write them, and a palette one.
  ASSERT_TRUE(image.convertToFormat(QImage::Format_RGB888).save(file(QStringLiteral("24.bmp")), "BMP"));
  ASSERT_TRUE(image.convertToFormat(QImage::Format_Indexed8).save(file(QStringLiteral("8.bmp")), "BMP"));
  qint64 previousSize = 0;
  for (const int quality : {0, 50, 100}) {
    for (const QString &name : {QStringLiteral("32.bmp"), QStringLiteral("24.bmp"), QStringLiteral("8.bmp")}) {
      SCOPED_TRACE(quality);
      const QString jpeg = file(QStringLiteral("q%1.jpg").arg(quality));
      ASSERT_EQ(SavetoJPEG(Utf8(file(name)), Utf8(jpeg), static_cast<uint8_t>(quality), -1), SAVEJPG_OK);
      const QImage decoded(jpeg, "JPEG");
      ASSERT_EQ(decoded.size(), image.size());
      if (quality == 100 && name != QStringLiteral("8.bmp")) {
        EXPECT_LT(MeanDifference(decoded, image), 2.0);
      }
    }
    const qint64 size = QFileInfo(file(QStringLiteral("q%1.jpg").arg(quality))).size();
    EXPECT_GT(size, previousSize); // higher quality, larger file
    previousSize = size;
  }
  EXPECT_GT(MeanDifference(QImage(file(QStringLiteral("q0.jpg"))), image), 5.0);
}

TEST_F(JpegFiles, FailuresLeaveTheTargetAsItWas) {
  const QString target = file(QStringLiteral("keep.jpg"));
  QFile old(target);
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write("the old picture");
  old.close();
  ASSERT_TRUE(SaveBmp(Sample(), file(QStringLiteral("a.bmp"))));
  QFile junk(file(QStringLiteral("junk.bmp")));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("BM not really");
  junk.close();

  EXPECT_EQ(SavetoJPEG(Utf8(file(QStringLiteral("none.bmp"))), Utf8(target), 50, -1), SAVEJPG_E_SOURCE);
  EXPECT_EQ(SavetoJPEG(Utf8(file(QStringLiteral("junk.bmp"))), Utf8(target), 50, -1), SAVEJPG_E_SOURCE);
  EXPECT_EQ(SavetoJPEG(Utf8(file(QStringLiteral("a.bmp"))), Utf8(target), 101, -1), SAVEJPG_E_ARGUMENT);
  EXPECT_EQ(SavetoJPEG(Utf8(file(QStringLiteral("a.bmp"))), Utf8(target), 50, 0), SAVEJPG_E_ARGUMENT);
  EXPECT_EQ(SavetoJPEG(nullptr, Utf8(target), 50, -1), SAVEJPG_E_ARGUMENT);
  EXPECT_EQ(SavetoJPEG(Utf8(file(QStringLiteral("a.bmp"))), Utf8(file(QStringLiteral("no/x.jpg"))), 50, -1),
            SAVEJPG_E_TARGET);

  // The disk fills up during the write.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit old_limit = limit;
  limit.rlim_cur = 256;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const int full = SavetoJPEG(Utf8(file(QStringLiteral("a.bmp"))), Utf8(target), 100, -1);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  EXPECT_EQ(full, SAVEJPG_E_TARGET);

  QFile kept(target);
  ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(kept.readAll(), "the old picture");
  EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 3); // keep.jpg, a.bmp, junk.bmp
  // A good save replaces it whole.
  EXPECT_EQ(SavetoJPEG(Utf8(file(QStringLiteral("a.bmp"))), Utf8(target), 50, -1), SAVEJPG_OK);
  EXPECT_EQ(QImage(target, "JPEG").size(), QSize(96, 64));
}

TEST_F(JpegFiles, TheProgramLoadsTheLibraryWhenItSaves) {
  ASSERT_TRUE(SaveBmp(Sample(), file(QStringLiteral("a.bmp"))));
  const QString library = QCoreApplication::applicationDirPath() + QLatin1Char('/') + kJpegLibraryFileName;
  QString error;
  EXPECT_EQ(CallSavetoJPEG(library, file(QStringLiteral("a.bmp")), file(QStringLiteral("画像.jpg")), 80, -1, &error),
            0);
  EXPECT_EQ(QImage(file(QStringLiteral("画像.jpg"))).size(), QSize(96, 64));
  EXPECT_FALSE(CallSavetoJPEG(file(QStringLiteral("libMissing.so")), file(QStringLiteral("a.bmp")),
                              file(QStringLiteral("b.jpg")), 80, -1, &error));
  EXPECT_FALSE(error.isEmpty());
}

TEST(JpegPath, OneSeparatorBetweenFolderAndName) {
  EXPECT_EQ(JpegPath(QStringLiteral("/pictures"), QStringLiteral("shot"), QStringLiteral(".jpg")),
            "/pictures/shot.jpg");
  EXPECT_EQ(JpegPath(QStringLiteral("/pictures/"), QStringLiteral("shot"), QStringLiteral("-org.jpg")),
            "/pictures/shot-org.jpg");
  EXPECT_EQ(JpegPath(QStringLiteral("/"), QStringLiteral("shot"), QStringLiteral(".jpg")), "/shot.jpg");
  EXPECT_EQ(JpegPath(QStringLiteral("/p"), QStringLiteral("shot.jpg"), QStringLiteral(".jpg")), "/p/shot.jpg.jpg");
}

} // namespace orvelle

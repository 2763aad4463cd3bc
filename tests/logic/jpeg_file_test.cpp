#include "savejpg/SaveJPG.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace orvelle {

TEST(JpegLibrary, ReadsOtherBitmapsAndFailsWithoutHarm) {
  QTemporaryDir dir;
  const auto file = [&dir](const char *name) { return QFile::encodeName(dir.filePath(QString::fromUtf8(name))); };
  // An 8-bit palette bitmap as other programs write them.
  QImage image(96, 64, QImage::Format_Indexed8);
  for (int i = 0; i < 256; ++i) {
    image.setColor(i, qRgb(i, 255 - i, 128));
  }
  image.fill(100);
  ASSERT_TRUE(image.save(QString::fromUtf8(file("8.bmp"))));
  ASSERT_EQ(SavetoJPEG(file("8.bmp"), file("out.jpg"), 100, -1), SAVEJPG_OK);
  EXPECT_LT(testing::MeanDifference(QImage(QString::fromUtf8(file("out.jpg"))), image), 2.0);
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
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3); // no temporary file left
  ASSERT_EQ(mkfifo(file("pipe.bmp").constData(), 0600), 0);                    // a pipe is refused, never waited on
  EXPECT_EQ(SavetoJPEG(file("pipe.bmp"), target, 50, -1), SAVEJPG_E_SOURCE);
}

} // namespace orvelle

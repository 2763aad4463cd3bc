#include "savejpg/SaveJPG.h"
#include "tests/support/synthetic_screen.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace orvelle {

namespace {
class JpegFiles : public ::testing::Test {
protected:
  QByteArray file(const char *name) const { return QFile::encodeName(m_dir.filePath(QString::fromUtf8(name))); }
  QTemporaryDir m_dir;
};
} // namespace

TEST_F(JpegFiles, TheLibraryEncodesEveryKindOfBitmap) {
  const QImage image = testing::SyntheticScreen({96, 64});
  // 32-bit as the program writes them, 24-bit and palette ones as others do.
  ASSERT_TRUE(image.save(QString::fromUtf8(file("32.bmp")), "BMP"));
  ASSERT_TRUE(image.convertToFormat(QImage::Format_RGB888).save(QString::fromUtf8(file("24.bmp")), "BMP"));
  const QImage palette = image.convertToFormat(QImage::Format_Indexed8);
  ASSERT_TRUE(palette.save(QString::fromUtf8(file("8.bmp")), "BMP"));
  for (const char *name : {"32.bmp", "24.bmp", "8.bmp"}) {
    ASSERT_EQ(SavetoJPEG(file(name), file("out.jpg"), 100, -1), SAVEJPG_OK) << name;
    const QImage decoded(QString::fromUtf8(file("out.jpg")), "JPEG");
    EXPECT_LT(testing::MeanDifference(decoded, std::string(name) == "8.bmp" ? palette : image), 2.0) << name;
  }
}

TEST_F(JpegFiles, FailuresLeaveTheTargetAsItWas) {
  const QByteArray target = file("keep.jpg");
  ASSERT_TRUE(testing::WriteFile(QString::fromUtf8(target), "the old picture"));
  ASSERT_TRUE(testing::SyntheticScreen({96, 64}).save(QString::fromUtf8(file("a.bmp")), "BMP"));
  ASSERT_TRUE(testing::WriteFile(QString::fromUtf8(file("junk.bmp")), "BM not really"));
  EXPECT_EQ(SavetoJPEG(file("none.bmp"), target, 50, -1), SAVEJPG_E_SOURCE);
  EXPECT_EQ(SavetoJPEG(file("junk.bmp"), target, 50, -1), SAVEJPG_E_SOURCE);
  EXPECT_EQ(SavetoJPEG(file("a.bmp"), target, 101, -1), SAVEJPG_E_ARGUMENT);
  EXPECT_EQ(SavetoJPEG(file("a.bmp"), target, 50, 0), SAVEJPG_E_ARGUMENT);
  EXPECT_EQ(SavetoJPEG(file("a.bmp"), file("no/x.jpg"), 50, -1), SAVEJPG_E_TARGET);
  // The disk fills up during the write.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit oldLimit = limit;
  limit.rlim_cur = 256;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  const int full = SavetoJPEG(file("a.bmp"), target, 100, -1);
  setrlimit(RLIMIT_FSIZE, &oldLimit);
  EXPECT_EQ(full, SAVEJPG_E_TARGET);
  EXPECT_EQ(testing::ReadFile(QString::fromUtf8(target)), "the old picture");
  EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 3); // keep.jpg, a.bmp, junk.bmp
}

} // namespace orvelle

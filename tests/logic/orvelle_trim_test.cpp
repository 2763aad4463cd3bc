#include "tests/support/test_files.h"

#include <QCoreApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvelle {

namespace {
struct Ended {
  int code;
  QString errors;
};

Ended Trim(const QStringList &args) {
  QProcess p;
  p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/orvelle-trim"), args);
  p.waitForFinished(60000);
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

TEST(OrvelleTrim, ExitCodesSayWhatBecameOfTheFiles) {
  QTemporaryDir dir;
  const QString ini = dir.filePath(QStringLiteral("trim.ini"));
  ASSERT_TRUE(testing::WriteFile(ini, "[Data]\nPicStartX=10\nPicStartY=20\nPicWidth=30\nPicHeight=40\nNewPicStartX=0\n"
                                      "NewPicStartY=0\nNewPicWidth=30\nNewPicHeight=40\nPicRatio=0\n[File]\nF_Path=" +
                                          dir.path().toUtf8() + "\n"));
  const QString good = dir.filePath(QStringLiteral("good.png"));
  ASSERT_TRUE(QImage(QSize(100, 100), QImage::Format_RGB32).save(good));
  const QString broken = dir.filePath(QStringLiteral("broken.png"));
  ASSERT_TRUE(testing::WriteFile(broken, "no picture"));

  EXPECT_EQ(Trim({QStringLiteral("--settings"), ini, good}).code, 0);
  EXPECT_EQ(QImage(dir.filePath(QStringLiteral("good.jpg"))).size(), QSize(30, 40));
  const Ended some =
      Trim({QStringLiteral("--settings"), ini, QStringLiteral("--quality"), QStringLiteral("90"), good, broken});
  EXPECT_EQ(some.code, 1);
  EXPECT_TRUE(some.errors.contains(QStringLiteral("broken.png"))) << some.errors.toStdString();
  EXPECT_FALSE(some.errors.contains(QStringLiteral("good.png"))) << some.errors.toStdString();
  // Wrong usage, and settings that cannot be used: the key is named.
  EXPECT_EQ(Trim({}).code, 2);
  EXPECT_EQ(Trim({QStringLiteral("--quality"), QStringLiteral("101"), good}).code, 2);
  ASSERT_TRUE(testing::WriteFile(ini, "[Data]\nPicStartX=10\n"));
  const Ended unusable = Trim({QStringLiteral("--settings"), ini, good});
  EXPECT_EQ(unusable.code, 2);
  EXPECT_TRUE(unusable.errors.contains(QStringLiteral("PicStartY"))) << unusable.errors.toStdString();
  EXPECT_EQ(Trim({QStringLiteral("--help")}).code, 0);
}

} // namespace orvelle
